// Artist extraction and the spelling-blind comparison key.
#include "tuning/artist.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// True for the symbols that are part of a name as written, unlike punctuation: "@peace" and
// "Peace" are two acts, as are "Ke$ha" and "Kesha" spelt so.
bool isNameSymbol(unsigned char c) {
    return c != '\0' && std::strchr("@#$%*=~^|<>", c) != nullptr;
}

// True for the characters words are made of: ASCII letters and digits, every byte from 0x80, and
// the symbols of a name.
bool isWordCharacter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c >= 0x80 ||
           isNameSymbol(c);
}

// `c` with A-Z taken to a-z.
char foldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// `text` without blanks (spaces, tabs) at either end.
std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The words of `artist`: folded, cut at every character that is not a letter or digit, with each
// of `andSigns` read as the word "and". `commaBeforeLastWord` tells whether a comma came between
// the last two words.
std::vector<std::string> nameWords(const std::string& artist, const char* andSigns,
                                   bool* commaBeforeLastWord) {
    std::vector<std::string> words;
    bool commaSinceWord = false;
    std::string word;
    auto endWord = [&] {
        if (word.empty())
            return;
        *commaBeforeLastWord = commaSinceWord;
        commaSinceWord = false;
        words.push_back(word);
        word.clear();
    };
    for (char c : artist) {
        if (isWordCharacter(static_cast<unsigned char>(c))) {
            word += foldCase(c);
            continue;
        }
        endWord();
        if (c == ',')
            commaSinceWord = true;
        if (c != '\0' && std::strchr(andSigns, c) != nullptr) {
            commaSinceWord = false;
            words.push_back("and");
        }
    }
    endWord();
    return words;
}

// The words of `artist` as probablySameArtist compares them: nameWords with "&" and "+" read as
// "and", a lone "n" too (as in "Guns N' Roses"), and a leading "the" left out.
std::vector<std::string> joinedWords(const std::string& artist) {
    bool commaBeforeLastWord = false;
    std::vector<std::string> words = nameWords(artist, "&+", &commaBeforeLastWord);
    std::replace(words.begin(), words.end(), std::string("n"), std::string("and"));
    if (words.size() > 1 && words.front() == "the")
        words.erase(words.begin());
    return words;
}

// True for the words that open the name of an act an artist plays with.
bool isJoiningWord(const std::string& word) {
    return word == "and" || word == "with" || word == "feat" || word == "featuring" || word == "ft";
}

} // namespace

namespace sim {

std::string artistOf(const std::string& title) {
    const size_t dash = title.find(" - ");
    return dash == std::string::npos ? std::string() : trimmed(title.substr(0, dash));
}

std::string artistKey(const std::string& artist) {
    bool commaBeforeLastWord = false;
    std::vector<std::string> words = nameWords(artist, "&", &commaBeforeLastWord);
    if (words.size() > 1 && words.front() == "the")
        words.erase(words.begin());
    else if (words.size() > 1 && words.back() == "the" && commaBeforeLastWord)
        words.pop_back();

    std::string key;
    for (const std::string& w : words)
        key += w;
    if (key.empty())
        for (char c : trimmed(artist))
            key += foldCase(c);
    return key;
}

bool probablySameArtist(const std::string& a, const std::string& b) {
    const std::vector<std::string> wordsA = joinedWords(a), wordsB = joinedWords(b);
    if (wordsA.empty() || wordsB.empty())
        return false;
    if (wordsA.size() == wordsB.size())
        return wordsA == wordsB;
    const std::vector<std::string>& shorter = wordsA.size() < wordsB.size() ? wordsA : wordsB;
    const std::vector<std::string>& longer = wordsA.size() < wordsB.size() ? wordsB : wordsA;
    return std::equal(shorter.begin(), shorter.end(), longer.begin()) &&
           isJoiningWord(longer[shorter.size()]);
}

} // namespace sim
