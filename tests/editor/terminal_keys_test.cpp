// The keys a terminal sends, decoded: characters of every UTF-8 length, cursor and function keys
// in their different terminals' forms, and sequences the line must never see.
#include "terminal_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using zhost::ed::detail::Key;
using K = Key::Kind;

namespace {

// The keys in the bytes, as a terminal sends them; a byte source that ends after them.
std::vector<Key> keysOf(const std::string& bytes) {
    size_t at = 0;
    const zhost::ed::detail::ByteSource next = [&](int) {
        return at < bytes.size() ? int(static_cast<unsigned char>(bytes[at++]))
                                 : zhost::ed::detail::kEndOfInput;
    };
    zhost::ed::detail::KeyDecoder decoder(next);
    std::vector<Key> keys;
    while (true) {
        const Key k = decoder.read();
        if (k.kind == K::endOfInput)
            return keys;
        keys.push_back(k);
    }
}

std::vector<K> kindsOf(const std::string& bytes) {
    std::vector<K> kinds;
    for (const Key& k : keysOf(bytes))
        kinds.push_back(k.kind);
    return kinds;
}

std::wstring textOf(const std::string& bytes) {
    std::wstring text;
    for (const Key& k : keysOf(bytes))
        if (k.kind == K::character)
            text += k.ch;
    return text;
}

} // namespace

TEST(TerminalKeys, MultiByteCharactersArriveWhole) {
    EXPECT_EQ(textOf("a\xC3\xA9\xE9\x83\xA8\xE5\x93\x81\xF0\xA0\xAE\xB7"), L"aé部品𠮷");
    // A broken sequence gives one replacement, not a byte each.
    EXPECT_EQ(textOf("\xE9\x83Z"), L"\xFFFDZ");
    EXPECT_EQ(textOf("\xFFZ"), L"\xFFFDZ");
}

TEST(TerminalKeys, CursorAndFunctionKeysInEachTerminalsForm) {
    EXPECT_EQ(kindsOf("\x1b[D\x1b[C\x1bOD\x1bOC"),
              (std::vector<K>{K::left, K::right, K::left, K::right}));
    EXPECT_EQ(kindsOf("\x1b[H\x1b[F\x1b[1~\x1b[4~\x1b[7~\x1b[8~\x1bOH"),
              (std::vector<K>{K::home, K::end, K::home, K::end, K::home, K::end, K::home}));
    EXPECT_EQ(kindsOf("\x1bOP\x1b[11~\x1b[[A\x1b[1;2P"),
              (std::vector<K>{K::help, K::help, K::help, K::help}));
    EXPECT_EQ(kindsOf("\x1b[3~\x7f\x08"),
              (std::vector<K>{K::deleteKey, K::backspace, K::backspace}));
    EXPECT_EQ(kindsOf("\x03\x04\r\n"), (std::vector<K>{K::cancel, K::ctrlD, K::enter, K::enter}));
}

TEST(TerminalKeys, UnknownSequencesLeaveNothingInTheLine) {
    // F5, F12, Ctrl+Right, Page Down, bracketed paste marks, Alt+x, a mouse report.
    EXPECT_EQ(
        textOf("a\x1b[15~b\x1b[24~c\x1b[1;5Cd\x1b[6~e\x1b[200~f\x1b[201~g\x1bxh\x1b[<0;3;4Mi"),
        L"abcdefghi");
    // The Esc key alone (nothing follows within the wait) cancels, as on the platform.
    size_t calls = 0;
    const zhost::ed::detail::ByteSource escOnly = [&](int timeoutMs) {
        ++calls;
        if (calls == 1)
            return 27;
        return timeoutMs >= 0 ? zhost::ed::detail::kNoByte : zhost::ed::detail::kEndOfInput;
    };
    EXPECT_EQ(zhost::ed::detail::KeyDecoder(escOnly).read().kind, K::cancel);
}

TEST(TerminalKeys, WideCharactersTakeTwoColumns) {
    using zhost::ed::detail::displayWidth;
    EXPECT_EQ(displayWidth(L"abc"), 3);
    EXPECT_EQ(displayWidth(L"部品.dxf"), 8);
    EXPECT_EQ(displayWidth(L"ｱ"), 1);  // half-width katakana
    EXPECT_EQ(displayWidth(L"Ａ"), 2); // full-width Latin
    EXPECT_EQ(displayWidth(L"e\u0301"), 1);
    EXPECT_EQ(displayWidth(L"𠮷한"), 4);
}

TEST(TerminalKeys, HelpListsTheCommandsAndTheDocumentation) {
    const std::wstring help = zhost::ed::detail::commandLineHelp();
    EXPECT_NE(help.find(L" REGION"), std::wstring::npos);
    EXPECT_NE(help.find(L" -BMINSERT"), std::wstring::npos);
    EXPECT_NE(help.find(L"script.md"), std::wstring::npos);
}
