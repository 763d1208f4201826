// The profile-file layer on raw bytes: what a read finds, what a write
// changes (one line, nothing else), and how the file reaches the disk.

#include "ProfileFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace chess {
namespace {

std::string Repeat(std::string_view text, int times)
{
    std::string r;
    while (times-- > 0)
        r += text;
    return r;
}

// UTF-16 bytes of a text, as a Windows editor saves it.
std::string Utf16(std::u16string_view text, bool bigEndian = false)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? hi : lo;
        bytes += bigEndian ? lo : hi;
    }
    return bytes;
}

struct ReadRow {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> value;
};

const ReadRow readRows[] = {
    {"Plain", "[s]\r\nk=v\r\n", "s", "k", "v"},
    {"NamesIgnoreCase", "[Sekce]\nKlic=hodnota\n", "SEKCE", "klic", "hodnota"},
    {"BlanksAroundNamesAndValue", "  [ s ]  \n  k   =   a  b \t\n", "s", "k", "a  b"},
    {"QuotesRemoved", "[s]\nk=\"  padded  \"\n", "s", "k", "  padded  "},
    {"SingleQuotesRemoved", "[s]\nk='x'\n", "s", "k", "x"},
    {"UnpairedQuoteKept", "[s]\nk=\"x\n", "s", "k", "\"x"},
    {"InnerQuotesKept", "[s]\nk=a \"b\" c\n", "s", "k", "a \"b\" c"},
    {"EqualsInValue", "[s]\nk=a=b\n", "s", "k", "a=b"},
    {"EmptyValue", "[s]\nk=\n", "s", "k", ""},
    {"CommentLineSkipped", "[s]\n;k=1\nk=2\n", "s", "k", "2"},
    {"LineWithoutEqualsSkipped", "[s]\nk\nk=3\n", "s", "k", "3"},
    {"FirstDuplicateKeyWins", "[s]\nk=1\nk=2\n", "s", "k", "1"},
    {"FirstDuplicateSectionWins", "[s]\nk=1\n[s]\nk=2\n", "s", "k", "1"},
    {"KeyOfAnotherSection", "[a]\nk=1\n[b]\nj=2\n", "b", "k", std::nullopt},
    {"KeyBeforeAnySection", "k=1\n[s]\n", "s", "k", std::nullopt},
    {"MissingSection", "[a]\nk=1\n", "s", "k", std::nullopt},
    {"NoFinalLineBreak", "[s]\nk=last", "s", "k", "last"},
    {"ValueCutAt2047", "[s]\nk=" + std::string(3000, 'x') + "\n", "s", "k", std::string(2047, 'x')},
    {"Cp1250SectionName", "[Nastaven\xED]\nLeft=5\n", "Nastavení", "Left", "5"},
    {"Utf8SectionName", "[Nastavení]\nLeft=6\n", "Nastavení", "Left", "6"},
    {"Cp1250Value",
     "[s]\nk=\xC8"
     "ern\xFD\n",
     "s", "k", "Černý"},
    {"Cp1250ValueCutAt2047Characters", "[s]\nk=" + std::string(3000, '\xE8') + "\n", "s", "k", Repeat("č", 2047)},
    {"Cp1250LineThatLooksLikeUtf8", "[Texty]\r\nA=\xC8\x8A\r\nB=\xE8\r\n", "Texty", "A", "ČŠ"},
    {"AccentedNamesIgnoreCase", "[NASTAVEN\xCD]\nLeft=5\n", "Nastavení", "Left", "5"},
    {"Utf8ByteOrderMark", "\xEF\xBB\xBF[Nastavení]\nLeft=5\n", "Nastavení", "Left", "5"},
    {"BareCarriageReturns", "[s]\rk=1\rj=2\r", "s", "j", "2"},
    {"MixedLineEnds", "[a]\rk=1\n[s]\r\nk=3\rj=4", "s", "k", "3"},
    {"Utf16LittleEndian", Utf16(u"[Nastavení]\r\nLeft=7\r\nJméno=Černý 😀\r\n"), "Nastavení", "Jméno", "Černý 😀"},
    {"Utf16BigEndian", Utf16(u"[Nastavení]\r\nLeft=8\r\n", true), "NASTAVENÍ", "Left", "8"},
    {"Utf16OddLastByte", Utf16(u"[s]\nk=v") + "x", "s", "k", "v\xEF\xBF\xBD"},
    {"Utf16LoneSurrogate", Utf16(u"[s]\nk=a") + std::string("\x00\xD8", 2) + Utf16(u"b").substr(2), "s", "k",
     "a\xEF\xBF\xBD"
     "b"},
};

void PrintTo(const ReadRow& row, std::ostream* os)
{
    *os << row.name;
}

class ProfileRead : public testing::TestWithParam<ReadRow> {};

TEST_P(ProfileRead, FindsTheValue)
{
    const auto& row = GetParam();
    EXPECT_EQ(ProfileFile::Parse(row.text).Read(row.section, row.key), row.value);
}

INSTANTIATE_TEST_SUITE_P(Texts, ProfileRead, testing::ValuesIn(readRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileInteger, DecimalAndHexadecimalForms)
{
    const std::pair<const char*, std::optional<int>> rows[] = {
        {"42", 42},
        {" 42 ", 42},
        {"+5", 5},
        {"-7", -7},
        {"0x20", 32},
        {"0X20", 32},
        {"$20", 32},
        {"$ff", 255},
        {"-0x20", -32},
        {"0xFFFFFFFF", -1},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", {}},
        {"99999999999999999999", {}},
        {"0x1FFFFFFFF", {}},
        {"abc", {}},
        {"", {}},
        {"12abc", {}},
        {"1.5", {}},
        {"0x", {}},
        {"$", {}},
        {"-", {}},
        {"0xg", {}},
        {"1 2", {}},
    };
    for (const auto& [text, value] : rows)
        EXPECT_EQ(ParseProfileInteger(text), value) << '"' << text << '"';
}

TEST(ProfileInteger, ReadsFallBackAndBooleansAreNonZero)
{
    const auto f = ProfileFile::Parse("[s]\na=0x20\nb=ano\nc=0\nd=2\ne=0x0\n");
    EXPECT_EQ(f.ReadInteger("s", "a", 7), 32);
    EXPECT_EQ(f.ReadInteger("s", "b", 7), 7);
    EXPECT_EQ(f.ReadInteger("s", "missing", 7), 7);
    EXPECT_FALSE(f.ReadBool("s", "c", true));
    EXPECT_TRUE(f.ReadBool("s", "d", false));
    EXPECT_FALSE(f.ReadBool("s", "e", true));
    EXPECT_TRUE(f.ReadBool("s", "b", true));
    EXPECT_FALSE(f.ReadBool("s", "b", false));
    EXPECT_EQ(f.ReadString("s", "missing", "dflt"), "dflt");
}

// A hand-kept file in code page 1250: comments, odd spacing, blank lines,
// another program's section, CR LF line ends.
const std::string handFile = "; nastaveni \xE8"
                             "esk\xE9ho programu \x81\x98\r\n"  // two bytes unassigned in 1250
                             "[Jin\xE1]\r\n"
                             "Jm\xE9no = \"  \xC8"
                             "ern\xFD  \"\r\n"
                             "\r\n"
                             "[Nastaven\xED]\r\n"
                             "  Left =  10 \r\n"
                             "; Top=20\r\n"
                             "Width=622\r\n"
                             "\r\n"
                             "[Posledn\xED]\r\n"
                             "x=1\r\n";

TEST(ProfileWrite, ReplacesOneLineAndKeepsEveryOtherByteForByte)
{
    auto f = ProfileFile::Parse(handFile);
    f.WriteInteger("Nastavení", "left", 147);
    std::string expected = handFile;
    expected.replace(expected.find("  Left =  10 "), 13, "left=147");
    EXPECT_EQ(f.Serialize(), expected);
}

TEST(ProfileWrite, NewKeyGoesAfterTheSectionsLastEntry)
{
    auto f = ProfileFile::Parse(handFile);
    f.WriteInteger("Nastavení", "Top", 59);
    std::string expected = handFile;
    expected.insert(expected.find("Width=622\r\n") + 11, "Top=59\r\n");
    EXPECT_EQ(f.Serialize(), expected);
    EXPECT_EQ(ProfileFile::Parse(f.Serialize()).Read("jiná", "jméno"), "  Černý  ");
}

TEST(ProfileWrite, NewSectionGoesAtTheEndInTheFilesLineEnds)
{
    auto lf = ProfileFile::Parse("[a]\nk=1\n");
    lf.Write("b", "j", "2");
    EXPECT_EQ(lf.Serialize(), "[a]\nk=1\n\n[b]\nj=2\n");

    auto noFinal = ProfileFile::Parse("[a]\r\nk=1");
    noFinal.Write("a", "k", "3");
    EXPECT_EQ(noFinal.Serialize(), "[a]\r\nk=3");

    auto mixed = ProfileFile::Parse("[s]\nk=1\r\nj=2\n");  // each untouched line keeps its own
    mixed.Write("s", "j", "3");
    EXPECT_EQ(mixed.Serialize(), "[s]\nk=1\r\nj=3\n");
}

// Files from other editors go back as they came: UTF-16 stays UTF-16 in its
// byte order, and every line keeps its own ending; new lines take the
// ending of the file's first line.
TEST(ProfileWrite, Utf16AndEveryLineEndSurviveAWrite)
{
    for (const bool big : {false, true}) {
        auto f = ProfileFile::Parse(Utf16(u"[Nastavení]\r\nLeft=5\r\nJméno=Černý\r\n", big));
        f.WriteInteger("Nastavení", "Left", 6);
        f.WriteInteger("Nastavení", "Top", 7);
        EXPECT_EQ(f.Serialize(), Utf16(u"[Nastavení]\r\nLeft=6\r\nJméno=Černý\r\nTop=7\r\n", big));
    }
    auto cr = ProfileFile::Parse("[s]\rk=1\rx=2\n\r\n[t]\ry=3");
    cr.Write("s", "k", "5");
    cr.Write("s", "j", "6");
    cr.Write("t", "z", "7");
    cr.Write("u", "w", "8");
    EXPECT_EQ(cr.Serialize(), "[s]\rk=5\rx=2\nj=6\r\r\n[t]\ry=3\rz=7\r\r[u]\rw=8");
}

TEST(ProfileWrite, NewFileGetsTheSectionInCodePage1250)
{
    ProfileFile f;
    f.WriteInteger("Nastavení", "Left", 147);
    EXPECT_EQ(f.Serialize(), "[Nastaven\xED]\r\nLeft=147\r\n");

    auto ascii = ProfileFile::Parse("[Other]\r\nk=1\r\n");  // reads the same either way
    ascii.WriteInteger("Nastavení", "Left", 147);
    EXPECT_EQ(ascii.Serialize(), "[Other]\r\nk=1\r\n\r\n[Nastaven\xED]\r\nLeft=147\r\n");
}

TEST(ProfileWrite, Utf8FileStaysUtf8)
{
    auto f = ProfileFile::Parse("[Nastavení]\nJméno=Černý\n");
    f.WriteInteger("Nastavení", "Left", 1);
    f.Write("Jiná", "Město", "Plzeň");
    EXPECT_EQ(f.Serialize(), "[Nastavení]\nJméno=Černý\nLeft=1\n\n[Jiná]\nMěsto=Plzeň\n");

    auto bom = ProfileFile::Parse("\xEF\xBB\xBF[Nastavení]\nLeft=5\n");  // an editor's byte-order mark
    bom.WriteInteger("Nastavení", "Left", 6);
    EXPECT_EQ(bom.Serialize(), "\xEF\xBB\xBF[Nastavení]\nLeft=6\n");
}

TEST(ProfileWrite, ValueOutsideCodePage1250StillReadsBack)
{
    auto f = ProfileFile::Parse(handFile);
    f.Write("Nastavení", "Jazyk", "日本語");
    const auto again = ProfileFile::Parse(f.Serialize());
    EXPECT_EQ(again.Read("Nastavení", "Jazyk"), "日本語");
    EXPECT_EQ(again.Read("Jiná", "Jméno"), "  Černý  ");
}

TEST(ProfileParse, GarbageNeverCrashesAndStillTakesWrites)
{
    std::mt19937 rng(7);
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    std::vector<std::string> inputs{all, std::string(1, '\0'), "[", "]", "=", "\r", "[\xFF\xFE]\n\xFF=\xFE"};
    for (int i = 0; i < 200; ++i) {
        std::string bytes(rng() % 300, '\0');
        for (auto& b : bytes)
            b = static_cast<char>("[]=;\"' \r\n\xED\xC3\xAD"
                                  "abc"[rng() % 16]);
        inputs.push_back(bytes);
    }
    for (const auto& bytes : inputs) {
        auto f = ProfileFile::Parse(bytes);
        f.ReadInteger("Nastavení", "Left", 0);
        f.WriteInteger("Nastavení", "Left", 99);
        EXPECT_EQ(ProfileFile::Parse(f.Serialize()).ReadInteger("Nastavení", "Left", 0), 99);
    }
}

TEST(ProfileParse, TenMegabyteFile)
{
    // Built by appending only: GCC 12 warns wrongly about "k" + std::string.
    std::string big = "[Nastaven\xED]\r\nText=";
    big.append(5 << 20, 'a').append("\r\n");
    while (big.size() < (10u << 20))
        big.append("k").append(std::to_string(big.size())).append("=").append(1000, '\xE8').append("\r\n");
    big += "Left=33\r\n";
    auto f = ProfileFile::Parse(big);
    EXPECT_EQ(f.ReadInteger("Nastavení", "Left", 0), 33);
    EXPECT_EQ(f.Read("Nastavení", "Text")->size(), ProfileFile::MaxValueLength);
}

// Save: a fresh file beside the old one, renamed over it.
class ProfileSave : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/bodlany-profile-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        path = dir + "/bodlany.ini";
    }
    void TearDown() override
    {
        chmod(dir.c_str(), 0755);
        std::system(("rm -rf '" + dir + "'").c_str());
    }
    static std::string Slurp(const std::string& p)
    {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    void Spit(const std::string& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }
    int Entries() const
    {
        int n = 0;
        DIR* d = opendir(dir.c_str());
        while (dirent* e = readdir(d))
            n += e->d_name[0] != '.';
        closedir(d);
        return n;
    }
    std::string dir, path;
};

TEST_F(ProfileSave, WritesTheBytesAndLoadReadsThemBack)
{
    auto f = ProfileFile::Parse(handFile);
    f.WriteInteger("Nastavení", "Left", 5);
    std::string error;
    ASSERT_TRUE(f.Save(path, &error)) << error;
    EXPECT_EQ(Slurp(path), f.Serialize());
    EXPECT_EQ(ProfileFile::Load(path).ReadInteger("Nastavení", "Left", 0), 5);
    EXPECT_EQ(Entries(), 1) << "no temporary file left behind";
    EXPECT_EQ(ProfileFile::Load(dir + "/missing.ini").ReadInteger("Nastavení", "Left", 147), 147);
}

TEST_F(ProfileSave, ReplacesTheFileRatherThanRewritingItInPlace)
{
    Spit(path, handFile);
    ASSERT_EQ(link(path.c_str(), (dir + "/old").c_str()), 0);
    auto f = ProfileFile::Load(path);
    f.WriteInteger("Nastavení", "Left", 5);
    ASSERT_TRUE(f.Save(path));
    EXPECT_EQ(Slurp(dir + "/old"), handFile) << "the old file was written into, not replaced";
    EXPECT_NE(Slurp(path), handFile);
}

TEST_F(ProfileSave, FailureGivesAReasonAndKeepsTheOldFile)
{
    Spit(path, handFile);
    // A folder standing where the file should go cannot be replaced, not
    // even an empty one.
    const std::string blocked = dir + "/blocked.ini";
    ASSERT_EQ(mkdir(blocked.c_str(), 0755), 0);
    std::string error;
    EXPECT_FALSE(ProfileFile::Parse("[a]\nk=1\n").Save(blocked, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Entries(), 2) << "the temporary file was removed";
    struct stat st {};
    EXPECT_TRUE(stat(blocked.c_str(), &st) == 0 && S_ISDIR(st.st_mode));

    // A folder the user may not write to; root may write anywhere, so the
    // attempt runs as nobody in a child process.
    ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
    ASSERT_EQ(chmod(path.c_str(), 0666), 0);  // only the folder stands in the way
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                std::_Exit(3);
            chmod(dir.c_str(), 0555);
            std::string reason;
            const bool saved = ProfileFile::Parse("[a]\nk=1\n").Save(path, &reason);
            std::_Exit(saved ? 1 : reason.find("ermission denied") == std::string::npos ? 2 : 0);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(Slurp(path), handFile);
    EXPECT_EQ(Entries(), 2);
}

TEST_F(ProfileSave, ReaderTakesOnlyRegularFilesOfSaneSize)
{
    Spit(path, handFile);
    ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", (dir + "/zero").c_str()), 0);
    ASSERT_EQ(symlink("bodlany.ini", (dir + "/link").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (dir + "/dangling").c_str()), 0);
    Spit(dir + "/large", std::string(MaxTextFileSize + 1, 'x'));
    const std::pair<std::string, FileState> rows[] = {
        {"bodlany.ini", FileState::Read}, {"link", FileState::Read},      {"missing", FileState::Missing},
        {"dangling", FileState::Missing}, {"fifo", FileState::NotAFile},  {"zero", FileState::NotAFile},
        {".", FileState::NotAFile},       {"large", FileState::TooLarge}, {"bodlany.ini/x", FileState::Missing},
    };
    for (const auto& [name, state] : rows) {
        const TextFile file = ReadTextFile(dir + "/" + name);
        EXPECT_EQ(file.state, state) << name;
        EXPECT_EQ(file.bytes, state == FileState::Read ? handFile : "") << name;
    }
    EXPECT_EQ(ReadTextFile(dir + "/large", MaxTextFileSize + 1).state, FileState::Read);
}

// Permissions as a user meets them: the child runs as nobody, since root
// may read and write anything.
TEST_F(ProfileSave, FileTheUserMayNotReadOrWriteIsLeftAlone)
{
    ASSERT_EQ(chmod(dir.c_str(), 0777), 0);  // the folder is no obstacle
    Spit(path, handFile);
    for (const mode_t mode : {0600, 0644}) {
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        EXPECT_EXIT(
            {
                if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                    std::_Exit(3);
                FileState state;
                ProfileFile::Load(path, &state);
                if (state != (mode == 0600 ? FileState::Unreadable : FileState::Read))
                    std::_Exit(4);
                std::string reason;
                std::_Exit(ProfileFile::Parse("[a]\nk=1\n").Save(path, &reason) ? 1 : reason.empty() ? 2 : 0);
            },
            testing::ExitedWithCode(0), "")
            << std::oct << mode;
        EXPECT_EQ(Slurp(path), handFile);
    }
    EXPECT_EQ(Entries(), 1);
}

TEST_F(ProfileSave, NewFileFollowsTheUmaskAndOldLeftoversGo)
{
    const mode_t saved = umask(027);
    ASSERT_TRUE(ProfileFile::Parse("[a]\nk=1\n").Save(path));
    umask(saved);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // What a killed write leaves: ours and old goes; a write that may still
    // be running, and names that are not ours, stay.
    const std::string stale = path + ".aB3xY9", fresh = path + ".Fresh1", longer = path + ".aB3xY9z",
                      other = dir + "/other.ini.aB3xY9";
    for (const auto& p : {stale, fresh, longer, other})
        Spit(p, "half");
    const timeval old[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    for (const auto& p : {stale, longer, other})
        ASSERT_EQ(utimes(p.c_str(), old), 0);
    ASSERT_TRUE(ProfileFile::Parse("[a]\nk=2\n").Save(path));
    EXPECT_NE(access(stale.c_str(), F_OK), 0);
    for (const auto& p : {fresh, longer, other})
        EXPECT_EQ(access(p.c_str(), F_OK), 0) << p;
}

TEST(ProfileWrite, KeyOfACp1250FileThatLooksLikeUtf8StillReadsAfterAWrite)
{
    // Found by fuzz_profile: "mĂ©" is m C3 A9 in code page 1250.
    auto f = ProfileFile::Parse("[s]\r\nm\xC3\xA9=\xDD\r\n");
    f.Write("s", "mĂ©", "1");
    EXPECT_EQ(ProfileFile::Parse(f.Serialize()).Read("s", "mĂ©"), "1");
}

// Found by fuzz_profile (input EF BB BF E1): a byte-order mark before bytes
// that are no UTF-8. New lines must go in the file's real code page, or the
// settings never read back and every close appends one more section.
TEST(ProfileWrite, ByteOrderMarkBeforeCodePage1250)
{
    auto f = ProfileFile::Parse("\xEF\xBB\xBF[Jin\xE1]\r\nx=\xE1\r\n");
    f.WriteInteger("Nastavení", "Top", 5);
    auto again = ProfileFile::Parse(f.Serialize());
    EXPECT_EQ(again.ReadInteger("Nastavení", "Top", -1), 5);
    EXPECT_EQ(again.Read("Jiná", "x"), "á");
}

// Found by fuzz_profile (input "[Form1]\r"): a line added after a last line
// ended by a bare CR must not run on in the same line.
TEST(ProfileWrite, LineAddedAfterABareCarriageReturn)
{
    auto f = ProfileFile::Parse("[a]\r\nk=1\r");
    f.Write("a", "j", "2");
    auto again = ProfileFile::Parse(f.Serialize());
    EXPECT_EQ(again.Read("a", "j"), "2");
    EXPECT_EQ(again.Read("a", "k"), "1");
}

}  // namespace
}  // namespace chess
