// Reading a JSON file into a RapidJSON document, refusing what the data files must
// not contain: a path that is not a plain file, a file over the size cap, malformed
// JSON (reported with line and column), a NUL byte, a broken byte-order mark, invalid
// UTF-8. A complete UTF-8 byte-order mark is skipped. The parse also records where
// each value and member name starts, so problems can point into the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <rapidjson/document.h>

#include "base/file_read.h"

namespace serialization {

// The largest data file read, in bytes (16 MB): far beyond any level or menu, so a
// wrong path (a device, a huge file) is refused instead of filling memory.
inline constexpr std::uintmax_t kMaxJsonFileBytes = base::kDataFileLimit.bytes;

enum class JsonFileResult {
  Parsed,     // the document holds the file's value
  NotOpened,  // the file is missing or unreadable (error: the system's reason, or empty when missing)
  Refused,    // error says why: a directory, not a plain file, over the size cap, out of memory
  Malformed,  // error says where and what: "at line L, column C: <what>."
};

// A place in a text: line and column from 1, the column counting bytes. 0, 0 when
// the place is not known.
struct TextPosition {
  std::size_t line = 0;
  std::size_t column = 0;
};

// A parsed text together with where each of its values and member names starts.
// Positions are kept by the address of the value, so the object stays where it was
// filled: neither copied nor moved.
class JsonText {
 public:
  JsonText() = default;
  JsonText(const JsonText&) = delete;
  JsonText& operator=(const JsonText&) = delete;

  // Where a value of `document`, or the name of one of its members, starts; 0, 0 for
  // anything else.
  TextPosition PositionOf(const rapidjson::Value& valueOrName) const;
  // The line and column of a byte offset into the text.
  TextPosition PositionAt(std::size_t offset) const;

  // After a failed parse: where the parser stopped and what it found ("Missing a
  // comma or '}' after an object member."); 0, 0 and empty otherwise.
  TextPosition ErrorPosition() const { return errorPosition_; }
  const std::string& ErrorText() const { return errorText_; }

  rapidjson::Document document;

 private:
  friend bool ParseJsonText(std::string_view text, JsonText& parsed, std::string& error);

  std::vector<std::size_t> lineStarts_;                              // byte offset of each line
  std::unordered_map<const rapidjson::Value*, std::size_t> starts_;  // byte offset of each value
  TextPosition errorPosition_;
  std::string errorText_;
};

// A member name that an object of the document repeats (RapidJSON keeps both).
struct DuplicateKey {
  std::string name;
  int depth = 0;       // 1: a member of the root object, 2: of one of its members, ...
  TextPosition at;     // the repetition
  TextPosition first;  // the member that first had the name
};

// Every repeated member name of every object of the document, in text order.
std::vector<DuplicateKey> FindDuplicateKeys(const JsonText& text);

// Reads and parses a file; parses iteratively, so nesting depth costs no stack.
JsonFileResult ReadJsonFile(const std::string& path, JsonText& text, std::string& error);
JsonFileResult ReadJsonFile(const std::string& path, rapidjson::Document& document, std::string& error);

// As ReadJsonFile, for text already in memory; nothing past the view is read.
bool ParseJsonText(std::string_view text, JsonText& parsed, std::string& error);
bool ParseJsonText(std::string_view text, rapidjson::Document& document, std::string& error);

// "line L, column C".
std::string DescribePosition(TextPosition position);

}  // namespace serialization
