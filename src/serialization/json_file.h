// Reading a JSON file into a RapidJSON document, refusing what the data files must
// not contain: malformed JSON (reported with line and column), a NUL byte, a broken
// byte-order mark, invalid UTF-8. A complete UTF-8 byte-order mark is skipped.
#pragma once

#include <string>

#include <rapidjson/document.h>

namespace serialization {

enum class JsonFileResult {
  Parsed,     // document holds the file's value
  NotOpened,  // the file is missing, a directory or unreadable
  Malformed,  // error says where and what: "at line L, column C: <what>."
};

// Parses iteratively, so nesting depth costs no stack.
JsonFileResult ReadJsonFile(const std::string& path, rapidjson::Document& document,
                            std::string& error);

// As ReadJsonFile, for text already in memory.
bool ParseJsonText(const std::string& text, rapidjson::Document& document, std::string& error);

}  // namespace serialization
