#include "core/fixture_names.h"

namespace rig {

namespace {

bool isLower(char ch) { return ch >= 'a' && ch <= 'z'; }
bool isUpper(char ch) { return ch >= 'A' && ch <= 'Z'; }
bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }
// Bytes above ASCII are taken as letters, so a word with an accented letter stays one word.
bool isLetter(char ch) { return isLower(ch) || isUpper(ch) || static_cast<unsigned char>(ch) >= 0x80; }
char toLower(char ch) { return isUpper(ch) ? static_cast<char>(ch - 'A' + 'a') : ch; }
char toUpper(char ch) { return isLower(ch) ? static_cast<char>(ch - 'a' + 'A') : ch; }

// Upper-case vowels are left alone: inside a word they are mostly an abbreviation ("LED").
bool isInsideVowel(char ch)
{
    return ch == 'a' || ch == 'e' || ch == 'i' || ch == 'o' || ch == 'u';
}

// A word begins at a letter after anything else, or at a capital after a small letter ("PanSpeed").
bool wordStartsAt(std::string_view text, std::size_t at)
{
    if (!isLetter(text[at]))
        return false;
    return at == 0 || !isLetter(text[at - 1]) || (isLower(text[at - 1]) && isUpper(text[at]));
}

// `lowerWord` (lower case) at `at`, ignoring case.
bool matchesAt(std::string_view text, std::size_t at, std::string_view lowerWord)
{
    if (text.size() - at < lowerWord.size())
        return false;
    for (std::size_t i = 0; i < lowerWord.size(); ++i)
        if (toLower(text[at + i]) != lowerWord[i])
            return false;
    return true;
}

struct Word {
    std::size_t start = 0;
    std::size_t end = 0;
};

// The word holding the most letters that still has a vowel to give; of equals, the last.
// Whether any is left is said by `found`.
Word longestWordWithVowel(const std::string& name, bool& found)
{
    Word best;
    found = false;
    for (std::size_t at = 0; at < name.size(); ++at) {
        if (!wordStartsAt(name, at))
            continue;
        std::size_t end = at + 1;
        while (end < name.size() && isLetter(name[end]) && !wordStartsAt(name, end))
            ++end;
        bool hasVowel = false;
        for (std::size_t i = at + 1; i < end && !hasVowel; ++i)
            hasVowel = isInsideVowel(name[i]);
        if (hasVowel && (!found || end - at >= best.end - best.start)) {
            best = {at, end};
            found = true;
        }
    }
    return best;
}

}  // namespace

std::optional<ChannelKind> channelKindFromName(std::string_view name)
{
    const auto has = [name](std::string_view word) {
        for (std::size_t at = 0; at < name.size(); ++at)
            if (matchesAt(name, at, word))
                return true;
        return false;
    };
    // Short words count only at the start of a word: "control" holds no rotation, "preset" no reset.
    const auto beginsWord = [name](std::string_view word) {
        for (std::size_t at = 0; at < name.size(); ++at)
            if (wordStartsAt(name, at) && matchesAt(name, at, word))
                return true;
        return false;
    };
    if (has("frost"))
        return ChannelKind::Frost;
    const bool turns = beginsWord("rot") || has("index");
    if (has("gobo") && turns)
        return ChannelKind::GoboRotation;
    if (has("prism") && turns)
        return ChannelKind::PrismRotation;
    if (has("zoom"))
        return ChannelKind::Zoom;
    if (has("focus"))
        return ChannelKind::Focus;
    if (beginsWord("iris"))
        return ChannelKind::Iris;
    if (has("strobe") || has("shutter"))
        return ChannelKind::ShutterStrobe;
    if (has("speed"))
        return ChannelKind::Speed;
    // A colour macro chooses a colour; its group or capability says so better.
    if ((has("macro") || has("effect")) && !has("colo"))
        return ChannelKind::Effect;
    if (beginsWord("reset") || has("control"))
        return ChannelKind::Control;
    return std::nullopt;
}

std::string shortenName(std::string name, std::size_t width)
{
    // Every step below looks at the whole name once per letter it drops. Real names are a
    // few words; of a definition's untrusted name of megabytes only the start and the end
    // (where its last number stands) are kept first, so the work stays small.
    constexpr std::size_t keptHead = 224;
    constexpr std::size_t keptTail = 32;
    if (name.size() > keptHead + keptTail)
        name.erase(keptHead, name.size() - keptHead - keptTail);
    for (std::size_t at = name.find(' '); name.size() > width && at != std::string::npos; at = name.find(' ', at)) {
        name.erase(at, 1);
        if (at > 0 && at < name.size() && (isLetter(name[at - 1]) || isDigit(name[at - 1])) && isLower(name[at]))
            name[at] = toUpper(name[at]);
    }
    while (name.size() > width) {
        bool found = false;
        const Word word = longestWordWithVowel(name, found);
        if (!found)
            break;
        for (std::size_t i = word.end - 1; i > word.start; --i)
            if (isInsideVowel(name[i])) {
                name.erase(i, 1);
                break;
            }
    }
    if (name.size() <= width)
        return name;
    // The last number usually tells channels apart ("Gobo 2"): the cut keeps it whole.
    std::size_t end = name.size();
    while (end > 0 && !isDigit(name[end - 1]))
        --end;
    std::size_t start = end;
    while (start > 0 && isDigit(name[start - 1]))
        --start;
    const std::size_t digits = end - start;
    if (end > width && digits > 0 && digits < width)
        return name.substr(0, width - digits) + name.substr(start, digits);
    name.resize(width);
    return name;
}

}  // namespace rig
