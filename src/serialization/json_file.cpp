// JSON file reading with the guards RapidJSON's defaults lack.
#include "serialization/json_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include <rapidjson/error/en.h>

namespace serialization {
namespace {

// "line L, column C" (both from 1; the column counts bytes) of a byte offset.
std::string Position(const std::string& text, std::size_t offset) {
  std::size_t line = 1;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      lineStart = i + 1;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(offset - lineStart + 1);
}

}  // namespace

bool ParseJsonText(const std::string& text, rapidjson::Document& document, std::string& error) {
  std::size_t start = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    start = 3;
  } else if (!text.empty() && static_cast<unsigned char>(text[0]) == 0xEF) {
    error = "at " + Position(text, 0) + ": broken byte-order mark.";
    return false;
  }
  // The parser would take a NUL byte for the end of the text and accept what precedes it.
  const std::size_t nul = text.find('\0');
  if (nul != std::string::npos) {
    error = "at " + Position(text, nul) + ": NUL byte.";
    return false;
  }
  document.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseValidateEncodingFlag>(
      text.c_str() + start);
  if (document.HasParseError()) {
    error = "at " + Position(text, start + document.GetErrorOffset()) + ": " +
            rapidjson::GetParseError_En(document.GetParseError());
    return false;
  }
  return true;
}

JsonFileResult ReadJsonFile(const std::string& path, rapidjson::Document& document,
                            std::string& error) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) return JsonFileResult::NotOpened;
  std::ifstream stream(path, std::ios::binary);
  if (!stream) return JsonFileResult::NotOpened;
  std::string text((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  if (stream.bad()) return JsonFileResult::NotOpened;
  return ParseJsonText(text, document, error) ? JsonFileResult::Parsed : JsonFileResult::Malformed;
}

}  // namespace serialization
