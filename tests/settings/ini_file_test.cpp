#include "settings/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <random>

#include "platform/files.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

using test::TempDir;

TEST(IniFile, LookupIgnoresCaseAndTrimsBlanksAndOnePairOfQuotes) {
    const IniFile ini = IniFile::parse(
        "[OpTiOnEn]\r\n  AutoKat =  7  \r\nText= \"  padded \" \r\nTwice=\"\"inner\"\"\n"
        "Single='kept'\nEmpty=\n[ Suche ]\nBegriff0=abc\n");
    EXPECT_EQ(ini.get_int("optionen", "autokat", 0), 7);
    EXPECT_EQ(ini.get("OPTIONEN", "TEXT"), "  padded ");
    EXPECT_EQ(ini.get("Optionen", "Twice"), "\"inner\"");
    // An empty value is a value: the default is for missing keys only.
    EXPECT_EQ(ini.get_string("Optionen", "Empty", "dflt", 260), "");
    EXPECT_EQ(ini.get_string("Optionen", "Missing", "dflt", 260), "dflt");

    // The first section and the first key win; comments are no keys.
    const IniFile dup =
        IniFile::parse("Outside=1\n[A]\nk=first\nK=second\n;c=x\n  ; d = x\n[a]\nk=3\nonly=1\n");
    EXPECT_EQ(dup.get("A", "k"), "first");
    EXPECT_FALSE(dup.has_key("A", "only"));
    EXPECT_FALSE(dup.has_key("A", "; d"));

    // "[unterminated" is no section header; an empty section name still is one.
    const IniFile bad = IniFile::parse(
        "[unterminated\nkey=1\n[S]\nno equals sign here\n=value without key\n[]\nx=2\n");
    EXPECT_FALSE(bad.has_section("unterminated"));
    EXPECT_EQ(bad.get_int("", "x", 0), 2);
}

TEST(IniFile, IntegersTakeSignAndLeadingDigitsOnlyAndStringsAreCutToTheBuffer) {
    const IniFile ini = IniFile::parse(
        "[N]\na=12abc\nb=-5\nc=+7\nd=abc\nf=\"42\"\ng=99999999999999\n"
        "h=-99999999999999\ni=- 5\n");
    const std::pair<const char*, int> cases[] = {{"a", 12},      {"b", -5}, {"c", 7},
                                                 {"d", -1},      {"f", 42}, {"g", INT_MAX},
                                                 {"h", INT_MIN}, {"i", -1}};
    for (const auto& [key, want] : cases) EXPECT_EQ(ini.get_int("N", key, -1), want) << key;
    // Strings are cut to the buffer, never inside a character ("ä" is two bytes).
    const IniFile str = IniFile::parse("[S]\nascii=abcdefgh\numlaut=aäb\n");
    EXPECT_EQ(str.get_string("S", "ascii", "", 5), "abcd");
    EXPECT_EQ(str.get_string("S", "umlaut", "", 3), "a");
}

TEST(IniFile, SettingKeysKeepEverythingElseInPlace) {
    const std::string original =
        "; settings of a peer\r\n[Optionen]\r\nAUTOKAT=1\r\na line without an equals sign\r\n"
        "Other = keep me \r\n\r\n[Unknown]\r\nx=y\r\n";
    IniFile ini = IniFile::parse(original);
    ini.set_int("optionen", "AutoKat", 0);  // replaced in place, spelling kept
    ini.set("Optionen", "New", "v");        // appended before the blank separator
    ini.set_int("Suche", "Flag", -3);       // new section at the end
    EXPECT_EQ(ini.to_bytes(),
              "; settings of a peer\r\n[Optionen]\r\nAUTOKAT=0\r\na line without an equals sign\r\n"
              "Other = keep me \r\nNew=v\r\n\r\n[Unknown]\r\nx=y\r\n\r\n[Suche]\r\nFlag=-3\r\n");
    // An untouched file is written back byte for byte (LF becomes CR LF).
    EXPECT_EQ(IniFile::parse(original).to_bytes(), original);

    // Removing a key takes every line of it; a removed section's duplicate does not come back.
    ini = IniFile::parse("[A]\nk=1\nj=2\nK=3\n[B]\nx=1\n[b]\ny=2\n");
    EXPECT_TRUE(ini.remove_key("a", "K"));
    EXPECT_TRUE(ini.remove_section("B"));
    ini.set("A", "z", "9");
    EXPECT_EQ(ini.to_bytes(), "[A]\r\nj=2\r\nz=9\r\n");
}

TEST(IniFile, ValuesReadBackExactlyAndCannotForgeLines) {
    IniFile ini;
    const std::vector<std::string> values = {"  lead", "trail  ", "\"quoted\"", "\"", "a=b", ""};
    for (size_t i = 0; i < values.size(); ++i) ini.set("S", "k" + std::to_string(i), values[i]);
    ini.set("S", "evil", "x\r\n[Optionen]\r\nLogFile=1");
    const IniFile back = IniFile::parse(ini.to_bytes());
    for (size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(back.get("S", "k" + std::to_string(i)), values[i]) << i;
    }
    EXPECT_FALSE(back.has_section("Optionen"));
    EXPECT_EQ(back.get("S", "evil"), "x  [Optionen]  LogFile=1");
}

TEST(IniFile, FilesAreWrittenAsWindows1252WhenEverythingFitsElseAsUtf8) {
    // "NichtLöschen=1" and "Grüße" in Windows-1252, as a Windows peer writes them.
    const IniFile ini =
        IniFile::parse("[Optionen]\r\nNichtL\xF6schen=1\r\nText=Gr\xFC\xDF\x65 \x80\r\n");
    EXPECT_EQ(ini.get_int("Optionen", "NichtLöschen", 0), 1);
    EXPECT_EQ(ini.get("Optionen", "Text"), "Grüße €");
    IniFile changed = ini;
    changed.set("Optionen", "Neu", "Äpfel");
    EXPECT_EQ(changed.to_bytes(),
              "[Optionen]\r\nNichtL\xF6schen=1\r\nText=Gr\xFC\xDF\x65 \x80\r\nNeu=\xC4pfel\r\n");
    // Text outside Windows-1252 makes the whole file UTF-8.
    changed.set("Suche", "Begriff0", "Ωmega");
    EXPECT_EQ(changed.to_bytes(),
              "[Optionen]\r\nNichtLöschen=1\r\nText=Grüße €\r\nNeu=Äpfel\r\n"
              "\r\n[Suche]\r\nBegriff0=Ωmega\r\n");
    // A UTF-8 file whose texts all fit is written as Windows-1252, for peers.
    EXPECT_EQ(IniFile::parse("\xEF\xBB\xBF[A]\nk=ä\n").to_bytes(), "[A]\r\nk=\xE4\r\n");
}

TEST(IniFile, TextsThatWindows1252WouldGarbleOnReadingAreWrittenAsUtf8) {
    // Windows-1252 bytes that are also valid UTF-8 ("Ã¤" is C3 A4, the UTF-8
    // of "ä"), or that start like a byte order mark ("ï»¿"), and a first line
    // that starts with the mark's own character must all read back unchanged.
    IniFile garbled;
    garbled.set("A", "k", "Ã¤");
    const IniFile files[] = {garbled, IniFile::parse("ï»¿; note\r\n[A]\r\nk=1\r\n"),
                             IniFile::parse("\xEF\xBB\xBF\xEF\xBB\xBF; note\r\n[A]\r\nk=1\r\n")};
    for (const IniFile& ini : files) {
        const std::string bytes = ini.to_bytes();
        EXPECT_EQ(IniFile::parse(bytes).to_bytes(), bytes);
    }
    EXPECT_EQ(IniFile::parse(garbled.to_bytes()).get("A", "k"), "Ã¤");
}

TEST(IniFile, SavingLeavesWhatCannotBeWrittenAloneAndKeepsLinks) {
    TempDir dir;
    // A path that cannot be read is not an empty file.
    ASSERT_TRUE(make_directory(dir.file("dir.INI")));
    EXPECT_FALSE(IniFile::load(dir.file("dir.INI")).has_value());

    const std::string path = dir.write("ro.INI", "[A]\r\nk=old\r\n");
    IniFile ini = IniFile::parse("[A]\r\nk=new\r\n");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    EXPECT_FALSE(file_replaceable(path));
    EXPECT_FALSE(ini.save(path));
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    EXPECT_EQ(read_file(path), "[A]\r\nk=old\r\n");
    EXPECT_TRUE(ini.save(path));
    EXPECT_EQ(read_file(path), "[A]\r\nk=new\r\n");

    // Saving through a symbolic link keeps the link.
    const std::string link = dir.file("link.INI");
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    ini.set_int("A", "k", 2);
    ASSERT_TRUE(ini.save(link));
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(read_file(path), "[A]\r\nk=2\r\n");
}

TEST(IniFile, ArbitraryBytesNeverBreakTheParser) {
    std::mt19937 rng(12345);
    const std::string alphabet = "[]=;\"\r\n \tAbK\xC3\xA4\xFF\x80";
    for (int round = 0; round < 500; ++round) {
        std::string bytes;
        for (int i = rng() % 200; i > 0; --i) bytes.push_back(alphabet[rng() % alphabet.size()]);
        IniFile ini = IniFile::parse(bytes);
        ini.set("A", "K", "v");
        const IniFile back = IniFile::parse(ini.to_bytes());
        EXPECT_EQ(back.get("A", "K"), "v") << round;
    }
}

}  // namespace
}  // namespace orbisto
