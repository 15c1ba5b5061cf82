// Artist extraction and the spelling-blind comparison key.
#include "tuning/artist.h"

#include <vector>

namespace {

// True for the characters words are made of: ASCII letters and digits, and every byte from 0x80.
bool isWordCharacter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c >= 0x80;
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

} // namespace

namespace sim {

std::string artistOf(const std::string& title) {
    const size_t dash = title.find(" - ");
    return dash == std::string::npos ? std::string() : trimmed(title.substr(0, dash));
}

std::string artistKey(const std::string& artist) {
    std::vector<std::string> words;
    bool commaBeforeLastWord = false;
    bool commaSinceWord = false;
    std::string word;
    auto endWord = [&] {
        if (word.empty())
            return;
        commaBeforeLastWord = commaSinceWord;
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
        if (c == '&') {
            commaSinceWord = false;
            words.push_back("and");
        }
    }
    endWord();
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

} // namespace sim
