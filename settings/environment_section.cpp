#include "settings/environment_section.h"

#include <string.h>

int SplitKeyList(const char* list, size_t length, const char** keys, int limit)
{
    int count = 0;
    for (size_t at = 0; at < length; at += strlen(list + at) + 1) {
        if (count == limit)
            return -1;
        keys[count++] = list + at;
    }
    return count;
}

EnvironmentFault FindEnvironmentFault(const EnvironmentSection* section, int* key)
{
    *key = -1;
    if (section->Count < 0)
        return ENVIRONMENT_SECTION_FULL;
    // The list of keys has room for a little more than the names may take.
    size_t namesLength = 0;
    for (int i = 0; i < section->Count; ++i)
        namesLength += strlen(section->Keys[i]);
    if (namesLength > ENVIRONMENT_NAMES_LIMIT)
        return ENVIRONMENT_SECTION_FULL;
    for (*key = 0; *key < section->Count; ++*key) {
        const char* name = section->Keys[*key];
        if (name[0] == '\0' || name[0] == '=')
            return ENVIRONMENT_KEY_UNNAMEABLE;
        if (strlen(section->Values[*key]) > ENVIRONMENT_VALUE_LIMIT)
            return ENVIRONMENT_VALUE_TOO_LONG;
    }
    *key = -1;
    return ENVIRONMENT_USABLE;
}
