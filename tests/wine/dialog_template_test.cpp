// The settings dialog's template as the built plug-in carries it: resource
// 101, read back byte by byte, as the platform will read it.
#include "tests/wine/plugin_fixture.h"

#include "resources/resource.h"

namespace {

// Reads a classic dialog template: WORD-sized fields, strings in UTF-16,
// items aligned on DWORDs.
class TemplateReader
{
public:
    TemplateReader(const unsigned char* data, size_t size) : data(data), size(size) {}

    bool Overrun() const { return overrun; }

    WORD Word()
    {
        WORD value = 0;
        Take(&value, sizeof value);
        return value;
    }

    DWORD Dword()
    {
        DWORD value = 0;
        Take(&value, sizeof value);
        return value;
    }

    // A name or ordinal field: "#n" for an ordinal, else the text.
    std::string NameOrOrdinal()
    {
        WORD first = Word();
        if (first == 0xFFFF)
            return "#" + std::to_string(Word());
        std::string text;
        for (WORD c = first; c != 0 && !overrun; c = Word())
            text += c < 0x80 ? static_cast<char>(c) : '?';
        return text;
    }

    void AlignToDword() { offset = (offset + 3) & ~static_cast<size_t>(3); }

    size_t Offset() const { return offset; }

private:
    void Take(void* value, size_t length)
    {
        if (offset + length > size) {
            overrun = true;
            return;
        }
        memcpy(value, data + offset, length);
        offset += length;
    }

    const unsigned char* data;
    size_t size;
    size_t offset = 0;
    bool overrun = false;
};

struct ControlTemplate
{
    DWORD style;
    DWORD extendedStyle;
    short x, y, cx, cy;
    WORD id;
    std::string windowClass;
    std::string caption;
    WORD extraBytes;
};

const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const DWORD CHECK_BOX = CHILD | WS_TABSTOP | BS_AUTOCHECKBOX;
const DWORD LABEL = CHILD | WS_GROUP | SS_LEFT;
const DWORD FIELD = CHILD | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
const char* const BUTTON = "#128";
const char* const EDIT = "#129";
const char* const STATIC = "#130";
const WORD NO_ID = 0xFFFF;

const ControlTemplate EXPECTED_CONTROLS[] = {
    {CHECK_BOX, 0, 8, 6, 48, 10, IDC_READONLY, BUTTON, "Read only", 0},
    {CHECK_BOX, 0, 8, 19, 83, 10, IDC_DELETETEMP, BUTTON, "Delete temporary files", 0},
    {LABEL, 0, 8, 36, 25, 8, NO_ID, STATIC, "Options", 0},
    {FIELD, 0, 74, 35, 153, 14, IDC_OPTIONS, EDIT, "", 0},
    {LABEL, 0, 7, 51, 46, 8, NO_ID, STATIC, "Connect string", 0},
    {FIELD, 0, 74, 50, 153, 14, IDC_CONNECT, EDIT, "", 0},
    {LABEL, 0, 7, 66, 56, 8, NO_ID, STATIC, "Working directory", 0},
    {FIELD, 0, 74, 65, 153, 14, IDC_WORKDIR, EDIT, "", 0},
    {LABEL, 0, 7, 83, 47, 8, NO_ID, STATIC, "SQL*Plus path", 0},
    {FIELD, 0, 74, 81, 153, 14, IDC_SQLPLUS, EDIT, "", 0},
    {CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 123, 97, 50, 14, IDOK, BUTTON, "OK", 0},
    {CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 175, 97, 50, 14, IDCANCEL, BUTTON, "Cancel", 0},
};

std::string Describe(const ControlTemplate& c)
{
    char text[256];
    snprintf(text, sizeof text, "id %u %s \"%s\" style 0x%08lx ex 0x%08lx at %d,%d %dx%d extra %u",
             c.id, c.windowClass.c_str(), c.caption.c_str(), static_cast<unsigned long>(c.style),
             static_cast<unsigned long>(c.extendedStyle), c.x, c.y, c.cx, c.cy, c.extraBytes);
    return text;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list)
{
    reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
    return TRUE;
}

class DialogTemplate : public ::testing::Test
{
protected:
    void SetUp() override
    {
        module = LoadLibraryExA((BuildFolder() + "\\Tamsil.dll").c_str(), NULL,
                                LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module != NULL);
        HRSRC resource = FindResourceExA(module, MAKEINTRESOURCEA(5) /* RT_DIALOG */,
                                         MAKEINTRESOURCEA(IDD_SETTINGS),
                                         MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        ASSERT_TRUE(resource != NULL) << "no US English dialog 101";
        size = SizeofResource(module, resource);
        data = static_cast<const unsigned char*>(LockResource(LoadResource(module, resource)));
        ASSERT_TRUE(data != NULL);
    }

    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
    }

    HMODULE module = NULL;
    const unsigned char* data = NULL;
    size_t size = 0;
};

} // namespace

TEST_F(DialogTemplate, IsTheClassicSettingsDialog)
{
    TemplateReader reader(data, size);
    DWORD style = reader.Dword();
    ASSERT_NE(0xFFFF0001u, style) << "an extended template";
    EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT),
              style);
    EXPECT_EQ(0u, style & DS_CENTER) << "the dialog opens at its owner's corner";
    EXPECT_EQ(0u, reader.Dword()) << "extended style";
    WORD count = reader.Word();
    EXPECT_EQ(0, static_cast<short>(reader.Word()));   // x
    EXPECT_EQ(0, static_cast<short>(reader.Word()));   // y
    EXPECT_EQ(230, static_cast<short>(reader.Word()));
    EXPECT_EQ(116, static_cast<short>(reader.Word()));
    EXPECT_EQ("", reader.NameOrOrdinal()) << "menu";
    EXPECT_EQ("", reader.NameOrOrdinal()) << "window class";
    EXPECT_EQ("Tamsil plug-in Settings", reader.NameOrOrdinal());
    EXPECT_EQ(8, reader.Word()) << "font size";
    EXPECT_EQ("MS Sans Serif", reader.NameOrOrdinal());

    ASSERT_EQ(sizeof EXPECTED_CONTROLS / sizeof EXPECTED_CONTROLS[0], count);
    for (const ControlTemplate& expected : EXPECTED_CONTROLS) {
        reader.AlignToDword();
        ControlTemplate actual;
        actual.style = reader.Dword();
        actual.extendedStyle = reader.Dword();
        actual.x = static_cast<short>(reader.Word());
        actual.y = static_cast<short>(reader.Word());
        actual.cx = static_cast<short>(reader.Word());
        actual.cy = static_cast<short>(reader.Word());
        actual.id = reader.Word();
        actual.windowClass = reader.NameOrOrdinal();
        actual.caption = reader.NameOrOrdinal();
        actual.extraBytes = reader.Word();
        EXPECT_EQ(Describe(expected), Describe(actual));
    }
    EXPECT_FALSE(reader.Overrun());
    EXPECT_LE(size - reader.Offset(), 3u) << "bytes after the last control";
}

TEST_F(DialogTemplate, IsCarriedInUsEnglishOnly)
{
    std::vector<WORD> languages;
    EnumResourceLanguagesA(
        module, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(IDD_SETTINGS),
        CollectLanguage,
        reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(std::vector<WORD>{MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)}, languages);
}
