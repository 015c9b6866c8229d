#pragma once

// Our own profile (INI) file facility, standing in for the Windows profile functions.
//
// Layout it reads and keeps: GBK bytes, lines ended by CR LF (a lone CR or LF is part of a line),
// a section starts at a line whose first byte is "[", its name runs to the first "]" (or the end of
// the line) and is compared as it stands there, untrimmed, just as the key listing finds its header
// only as "[" + name + "]" at the start of a line; an entry is a line holding "=", its key the bytes before the first
// "=". Section and key names match without regard to ASCII case, as the Windows profile functions do; the second byte
// of a two-byte character is never case-folded. Keys and values are read trimmed of bytes 1 to 32 at both ends; quotes
// are kept. The first section of a name and the first key of a name in it count.
//
// Writing: a new key goes at the end of its section, a new section at the end of the file; deleting
// the last key of a section keeps its header line. No blank line is ever written, and every byte of
// every line that an operation does not change stays as it was. A change replaces the file
// atomically (temporary file, flush, rename) under an advisory lock shared by every copy of the
// program, and reports whether it reached the disk. The temporary file of a copy killed before its
// rename is never read, and the next change removes it. A file without its owner-write bit is read-only,
// as a file with the Windows read-only attribute is: writes to it fail, for root too.

#include "text/text.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lorvane::profile {

// False for a key the file cannot hold: empty after trimming, containing "=", CR, LF, a zero byte or
// Ctrl+Z (0x1A, which ends the raw text the key listing reads), beginning with "[", or ending in a
// lead byte without its second byte (which would take the "=" as its own).
bool is_valid_key(std::string_view key);
// False for a section name the file cannot hold: empty after trimming, containing "]", CR, LF, a zero
// byte or Ctrl+Z, or ending in a lead byte without its second byte.
bool is_valid_section(std::string_view section);

// The parsed text of a profile file. Parsing never fails: any bytes are a document.
class Document {
public:
    Document() = default;
    explicit Document(Text bytes);

    const Text& bytes() const { return bytes_; }

    // The trimmed value of the first matching key of the first matching section, or nothing.
    std::optional<Text> value(std::string_view section, std::string_view key) const;

    // Sets a value; CR, LF, zero and Ctrl+Z bytes in it are dropped, and so is a lead byte left without
    // its second byte at the end, which would swallow the line's CR. The line written ends with CR LF.
    // False when the key or section is refused.
    bool set_value(std::string_view section, std::string_view key, std::string_view value);
    // Removes the first matching key's line. False when there was none (or the key is refused).
    bool remove_key(std::string_view section, std::string_view key);
    // Removes, for each key in turn, the first remaining matching line, rebuilding the text once.
    // removed[i] tells whether keys[i] had a line to remove.
    std::vector<bool> remove_keys(std::string_view section, const TextList& keys);
    // Removes the header line and every line of the first matching section. False when absent.
    bool remove_section(std::string_view section);

private:
    // Folded name (ASCII letters in lower case, second bytes untouched) to line number; built on the
    // first lookup, dropped at every change, so that looking up many keys stays linear.
    using Index = std::unordered_map<std::string, std::size_t>;

    std::optional<std::size_t> find_section(std::string_view section) const;             // header line
    std::size_t section_end(std::size_t header) const;                                   // one past its last line
    std::optional<std::size_t> find_key(std::size_t header, std::string_view key) const; // entry line
    std::string_view line_text(std::size_t i) const;
    std::size_t line_stop(std::size_t i) const; // offset just past the line's CR LF
    void end_last_line();                       // adds the CR LF the file's last line lacks
    void splice(std::size_t offset, std::size_t erase, std::string_view insert);

    Text bytes_;
    std::vector<LineSpan> lines_;
    mutable std::optional<Index> sections_;
    mutable std::unordered_map<std::size_t, Index> keys_; // by header line
};

// Reads the whole file; nothing when it cannot be read. An absent file reads as nothing too.
std::optional<Text> read_file(const Text& path);

// Reads `path`, lets `change` edit the document, and writes it back if `change` returns true: all
// under the lock, the write atomic. True when the new content reached the disk, or when `change`
// returned false (nothing needed writing). A missing file starts as an empty document.
bool update(const Text& path, const std::function<bool(Document&)>& change);

// One-entry operations over a file. The write operations return false when the file was not changed
// as asked: a refused key, a lock or write failure, or a read-only file.
Text read_value(const Text& path, std::string_view section, std::string_view key);
bool write_value(const Text& path, std::string_view section, std::string_view key, std::string_view value);
bool delete_key(const Text& path, std::string_view section, std::string_view key);
bool delete_section(const Text& path, std::string_view section);

} // namespace lorvane::profile
