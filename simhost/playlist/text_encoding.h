// The encodings a playlist file comes in, and the way from its bytes to the text the player hands
// to plug-ins: titles in the player's code page. Decoding UTF-8 and UTF-16 is done here, with no
// platform help; the last step, from UTF-16 to the code page, is the platform's and comes in as a
// CodePage (the Windows one is in cli/; tests and fuzzing use the Latin-1 stand-in below).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sim {

enum TextEncoding : int32_t {
    kCodePageBytes, // no byte-order mark: the bytes are the code page's, taken as they are
    kUtf8Marked,    // UTF-8 with its byte-order mark
    kUtf8ByName,    // UTF-8 without a mark, in a file named .m3u8
    kUtf16Le,       // UTF-16 little-endian with its mark (Notepad's "Unicode")
    kUtf16Be,       // UTF-16 big-endian with its mark
};

// The player's code page, as the platform converts to it.
struct CodePage {
    std::string name;        // "the ANSI code page 1252"
    std::string unheldShown; // what a character the code page cannot hold becomes: "?"
    // `text` (well-formed UTF-16) in the code page; `*unheld` counts the characters it cannot hold.
    std::string (*fromUtf16)(const std::u16string& text, int32_t* unheld);
};

// The encoding of a file named `fileName` holding `bytes`, from its byte-order mark, else from its
// name (.m3u8, any case). `*markLength` is the mark's length in bytes, 0 without one.
TextEncoding detectEncoding(const std::string& fileName, const std::string& bytes, size_t* markLength);

// UTF-8 `bytes` from offset `from` as UTF-16. Each maximal ill-formed part (a stray byte, a cut or
// overlong sequence, an encoded surrogate, a value past U+10FFFF) becomes U+FFFD, counted in
// `*invalid`.
std::u16string decodeUtf8(const std::string& bytes, size_t from, int32_t* invalid);

// UTF-16 `bytes` from offset `from`, in either byte order. A lone surrogate or an odd last byte
// becomes U+FFFD, counted in `*invalid`.
std::u16string decodeUtf16(const std::string& bytes, size_t from, bool bigEndian, int32_t* invalid);

// The Latin-1 code page (every character up to U+00FF as itself, the rest as "?"): a stand-in for
// the platform's code page where there is none.
CodePage latin1CodePage();

// The encoding in words: "UTF-16 LE", "UTF-8 (a .m3u8 file)", ...
const char* encodingName(TextEncoding encoding);

} // namespace sim
