// The settings file as the program reads and writes it, and the text codec
// underneath.

#include "Settings.h"
#include "TextCodec.h"

#include <gtest/gtest.h>

#include <random>

namespace chess {
namespace {

TEST(Settings, MissingFileGivesTheDefaults)
{
    const Settings s = ReadSettings(ProfileFile{});
    EXPECT_EQ(s.Left, 147);
    EXPECT_EQ(s.Top, 59);
    EXPECT_EQ(s.Height, 659);
    EXPECT_EQ(s.Width, 622);
    const bool marks[16] = {true,  false, false, true,  false, true,  true,  false,
                            false, true,  false, false, false, false, false, false};
    for (std::size_t i = 0; i < SettingsBoolKeys.size(); ++i)
        EXPECT_EQ(s.*SettingsBoolKeys[i].field, marks[i]) << SettingsBoolKeys[i].name;
}

TEST(Settings, NewFileHasAllKeysInOrder)
{
    ProfileFile f;
    WriteSettings(f, Settings{});
    EXPECT_EQ(f.Serialize(), "[Nastaven\xED]\r\nLeft=147\r\nTop=59\r\nHeight=659\r\nWidth=622\r\n"
                             "cesky=1\r\nnemecky=0\r\nanglicky=0\r\nbilydole=1\r\ncernydole=0\r\npopisky=1\r\n"
                             "Klasickkameny1=1\r\nKlubovky1=0\r\nUmleckkameny1=0\r\n"
                             "N11=1\r\nN21=0\r\nN31=0\r\nN41=0\r\nN51=0\r\nzapis=0\r\nposlednitah=0\r\n");
}

TEST(Settings, RoundTripOfEveryKey)
{
    std::mt19937 rng(3);
    for (int round = 0; round < 50; ++round) {
        Settings s;
        for (const auto& key : SettingsIntegerKeys)
            s.*key.field = static_cast<int>(rng());
        for (const auto& key : SettingsBoolKeys)
            s.*key.field = rng() % 2;
        s.SachovyProgram = round % 2 ? "/opt/šachy/engine " + std::to_string(round) : "";
        const char* controls[] = {"", "3+2", "40/90,30+30|h1"};
        s.CasovaKontrola = controls[round % 3];
        ProfileFile f = ProfileFile::Parse("[Jin\xE1]\r\nLeft=1\r\n");
        WriteSettings(f, s);
        WriteSettings(f, s);  // a second close writes over, adds nothing
        const auto again = ProfileFile::Parse(f.Serialize());
        EXPECT_EQ(ReadSettings(again), s);
        EXPECT_EQ(again.Read("Jiná", "Left"), "1");
        EXPECT_EQ(f.Serialize().find("Left=", f.Serialize().find("Top=")), std::string::npos);
    }
}

TEST(Settings, HandEditedValues)
{
    const auto f = ProfileFile::Parse(
        "[NASTAVEN\xED]\nleft=0x20\nTOP=$20\nHeight=abc\nWidth=\nCESKY=0\nnemecky=ano\nanglicky=5\n");
    const Settings s = ReadSettings(f);
    EXPECT_EQ(s.Left, 32);
    EXPECT_EQ(s.Top, 32);
    EXPECT_EQ(s.Height, 659);
    EXPECT_EQ(s.Width, 622);
    EXPECT_FALSE(s.Cesky);
    EXPECT_FALSE(s.Nemecky);
    EXPECT_TRUE(s.Anglicky);
}

TEST(Settings, RewritingKeepsTheUsersSpellingOfKeysInPlace)
{
    auto f = ProfileFile::Parse("[Nastaven\xED]\nleft=1\n");
    Settings s;
    s.Left = 2;
    WriteSettings(f, s);
    const std::string bytes = f.Serialize();
    EXPECT_EQ(bytes.substr(0, 22), "[Nastaven\xED]\nLeft=2\nTop");
}

// A key added later is written once it has been turned on, and from then on
// whichever way it stands; a file that never had it keeps its lines.
TEST(Settings, LaterKeyAppearsOnlyOnceUsed)
{
    auto f = ProfileFile::Parse("[Nastaven\xED]\nLeft=1\n");
    Settings s;
    WriteSettings(f, s);
    EXPECT_EQ(f.Serialize().find("otacet"), std::string::npos);
    EXPECT_FALSE(ReadSettings(f).Otacet);
    s.Otacet = true;
    WriteSettings(f, s);
    EXPECT_TRUE(ReadSettings(ProfileFile::Parse(f.Serialize())).Otacet);
    s.Otacet = false;
    WriteSettings(f, s);
    EXPECT_NE(f.Serialize().find("otacet=0"), std::string::npos);
    EXPECT_FALSE(ReadSettings(ProfileFile::Parse(f.Serialize())).Otacet);
}

TEST(TextCodec, DecodesCodePage1250)
{
    EXPECT_EQ(ToUtf8("\xE8\xF8\x9E\xFC\xDF\xE4"), "čřžüßä");
    EXPECT_EQ(ToUtf8("\xC8\xD8\x8E\x8A\xED\xF9"), "ČŘŽŠíů");
    EXPECT_EQ(ToUtf8("plain"), "plain");
    EXPECT_EQ(ToUtf8("už je UTF-8: čř"), "už je UTF-8: čř");
    EXPECT_EQ(ToUtf8("\x81"), "\xEF\xBF\xBD") << "an unassigned byte shows as the replacement character";

    std::string out = "kept";
    ASSERT_TRUE(ToCp1250("čřžüßä", out));
    EXPECT_EQ(out, "\xE8\xF8\x9E\xFC\xDF\xE4");
    out = "kept";
    EXPECT_FALSE(ToCp1250("日本", out));
    EXPECT_EQ(out, "kept");
}

TEST(TextCodec, Utf8Validity)
{
    const std::pair<const char*, bool> rows[] = {
        {"", true},
        {"abc", true},
        {"č", true},
        {"€", true},
        {"\xF0\x9F\x98\x80", true},
        {"\xE8", false},
        {"\xC0\xAF", false},
        {"\xED\xA0\x80", false},
        {"\xF4\x90\x80\x80", false},
        {"\xC4", false},
        {"\xE2\x82", false},
        {"\x80", false},
        {"\xF8\x88\x80\x80\x80", false},
    };
    for (const auto& [text, valid] : rows)
        EXPECT_EQ(IsValidUtf8(text), valid) << testing::PrintToString(std::string(text));
}

// The limit counts characters, as the 8-bit files did, and never splits one.
TEST(TextCodec, CutCountsWholeCharacters)
{
    EXPECT_EQ(CutUtf8("abc", 5), "abc");
    EXPECT_EQ(CutUtf8("abčd", 2), "ab");
    EXPECT_EQ(CutUtf8("abčd", 3), "abč");
    EXPECT_EQ(CutUtf8("😀x", 1), "😀");
    EXPECT_EQ(CutUtf8("😀x", 0), "");
}

}  // namespace
}  // namespace chess
