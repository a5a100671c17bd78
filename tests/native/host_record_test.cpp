#include "plugin/host_record.h"

#include <gtest/gtest.h>

#include <string.h>

#include <vector>

namespace {

// A record exactly as long as the smallest host's, so a read past it fails.
struct Record
{
    std::vector<unsigned char> bytes = std::vector<unsigned char>(HOST_RECORD_SIZE, 0);
    const PL_HOSTINFO* host() const { return reinterpret_cast<const PL_HOSTINFO*>(bytes.data()); }
    void put(size_t offset, const char* text, size_t length) { memcpy(&bytes[offset], text, length); }
};

} // namespace

TEST(HostRecord, IntegersAreLittleEndianAndSigned)
{
    Record r;
    const unsigned char build[] = {0xFE, 0xFF, 0xFF, 0xFF};
    memcpy(&r.bytes[HOST_BUILD], build, 4);
    const unsigned char check[] = {0x01, 0x02, 0x03, 0x04};
    memcpy(&r.bytes[HOST_NO_VERSION_CHECK], check, 4);
    EXPECT_EQ(-2, HostInteger(r.host(), HOST_BUILD));
    EXPECT_EQ(0x04030201, HostInteger(r.host(), HOST_NO_VERSION_CHECK));
}

TEST(HostRecord, TextFieldsAreReadWithinTheirWidth)
{
    Record r;
    std::string user(HOST_USER_WIDTH, 'u');
    std::string password(HOST_PASSWORD_WIDTH, 'p');
    std::string database(HOST_DATABASE_WIDTH, 'd');
    r.put(HOST_USER, user.data(), user.size());
    r.put(HOST_PASSWORD, password.data(), password.size());
    r.put(HOST_DATABASE, database.data(), database.size());
    // The bytes right after each field are not NUL either: none may leak in.
    memset(&r.bytes[HOST_GET_EDITOR], 'G', 4);
    memset(&r.bytes[HOST_MAIN_WINDOW], 'W', 4);

    char text[300];
    HostText(r.host(), HOST_USER, HOST_USER_WIDTH, text, sizeof text);
    EXPECT_EQ(user, text);
    HostText(r.host(), HOST_PASSWORD, HOST_PASSWORD_WIDTH, text, sizeof text);
    EXPECT_EQ(password, text);
    HostText(r.host(), HOST_DATABASE, HOST_DATABASE_WIDTH, text, sizeof text);
    EXPECT_EQ(database, text);
    EXPECT_EQ(static_cast<size_t>(HOST_USER_WIDTH),
              HostTextLength(r.host(), HOST_USER, HOST_USER_WIDTH));
}

TEST(HostRecord, ShortTextStopsAtItsNul)
{
    Record r;
    r.put(HOST_USER, "SCOTT\0junk", 10);
    char text[HOST_USER_WIDTH + 1];
    HostText(r.host(), HOST_USER, HOST_USER_WIDTH, text, sizeof text);
    EXPECT_STREQ("SCOTT", text);
}
