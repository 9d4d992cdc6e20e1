// JSON file reading with the guards RapidJSON's defaults lack, and the positions
// its DOM does not keep.
#include "serialization/json_file.h"

#include <algorithm>
#include <new>
#include <string_view>
#include <utility>

#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include "base/file_read.h"

namespace serialization {
namespace {

constexpr rapidjson::ParseFlag kFlags =
    static_cast<rapidjson::ParseFlag>(rapidjson::kParseIterativeFlag | rapidjson::kParseValidateEncodingFlag);

// Fills a document from the reader's events and records the byte offset where each
// value and member name starts, in event order (which is the document's pre-order).
// The reader calls a handler before or after taking a token depending on the token
// and the parse mode, so the recorder keeps its own cursor: by the time an event
// arrives the reader has checked the token, and stepping over it is simple.
class PositionRecorder {
 public:
  PositionRecorder(rapidjson::Document& document, std::string_view text, std::size_t base)
      : document_(document), text_(text), base_(base) {}

  bool Null() { return Mark() && document_.Null(); }
  bool Bool(bool b) { return Mark() && document_.Bool(b); }
  bool Int(int i) { return Mark() && document_.Int(i); }
  bool Uint(unsigned u) { return Mark() && document_.Uint(u); }
  bool Int64(std::int64_t i) { return Mark() && document_.Int64(i); }
  bool Uint64(std::uint64_t u) { return Mark() && document_.Uint64(u); }
  bool Double(double d) { return Mark() && document_.Double(d); }
  bool RawNumber(const char* s, rapidjson::SizeType n, bool copy) {
    return Mark() && document_.RawNumber(s, n, copy);
  }
  bool String(const char* s, rapidjson::SizeType n, bool copy) {
    return Mark() && document_.String(s, n, copy);
  }
  bool Key(const char* s, rapidjson::SizeType n, bool copy) { return Mark() && document_.Key(s, n, copy); }
  bool StartObject() { return Mark() && document_.StartObject(); }
  bool StartArray() { return Mark() && document_.StartArray(); }
  bool EndObject(rapidjson::SizeType n) { return Close() && document_.EndObject(n); }
  bool EndArray(rapidjson::SizeType n) { return Close() && document_.EndArray(n); }

  std::vector<std::size_t>& Starts() { return starts_; }

 private:
  void SkipSeparators() {
    while (cursor_ < text_.size()) {
      const char c = text_[cursor_];
      if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != ':' && c != ',') break;
      ++cursor_;
    }
  }

  // Records where the next token starts and steps over it.
  bool Mark() {
    SkipSeparators();
    starts_.push_back(base_ + cursor_);
    if (cursor_ >= text_.size()) return true;
    const char first = text_[cursor_];
    if (first == '{' || first == '[') {
      ++cursor_;
    } else if (first == '"') {
      ++cursor_;
      while (cursor_ < text_.size() && text_[cursor_] != '"') cursor_ += text_[cursor_] == '\\' ? 2 : 1;
      ++cursor_;
    } else {
      auto scalar = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '+' ||
               c == '-' || c == '.';
      };
      while (cursor_ < text_.size() && scalar(text_[cursor_])) ++cursor_;
    }
    return true;
  }

  // Steps over a closing bracket.
  bool Close() {
    SkipSeparators();
    ++cursor_;
    return true;
  }

  rapidjson::Document& document_;
  std::string_view text_;  // from the first byte the reader sees
  std::size_t base_;       // offset of text_ in the whole file (a byte-order mark)
  std::size_t cursor_ = 0;
  std::vector<std::size_t> starts_;
};

// Calls visit(value, depth) for every value and member name of the document in
// pre-order (a member's name before its value), without recursion: a deeply nested
// file costs heap, not stack. Depth 0 is the root; a member's name has its value's depth.
template <typename Visit>
void WalkPreOrder(const rapidjson::Value& root, Visit visit) {
  std::vector<std::pair<const rapidjson::Value*, int>> pending{{&root, 0}};
  while (!pending.empty()) {
    const auto [value, depth] = pending.back();
    pending.pop_back();
    visit(*value, depth);
    if (value->IsObject()) {
      for (auto member = value->MemberEnd(); member != value->MemberBegin();) {
        --member;
        pending.emplace_back(&member->value, depth + 1);
        pending.emplace_back(&member->name, depth + 1);
      }
    } else if (value->IsArray()) {
      for (auto element = value->End(); element != value->Begin();) {
        --element;
        pending.emplace_back(element, depth + 1);
      }
    }
  }
}

}  // namespace

std::string DescribePosition(TextPosition position) {
  return "line " + std::to_string(position.line) + ", column " + std::to_string(position.column);
}

TextPosition JsonText::PositionAt(std::size_t offset) const {
  if (lineStarts_.empty()) return {1, offset + 1};
  const auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
  const std::size_t line = static_cast<std::size_t>(after - lineStarts_.begin());
  return {line, offset - lineStarts_[line - 1] + 1};
}

TextPosition JsonText::PositionOf(const rapidjson::Value& valueOrName) const {
  const auto found = starts_.find(&valueOrName);
  return found == starts_.end() ? TextPosition{} : PositionAt(found->second);
}

std::vector<DuplicateKey> FindDuplicateKeys(const JsonText& text) {
  std::vector<DuplicateKey> duplicates;
  std::unordered_map<std::string_view, const rapidjson::Value*> seen;
  WalkPreOrder(text.document, [&](const rapidjson::Value& value, int depth) {
    if (!value.IsObject() || value.MemberCount() < 2) return;
    seen.clear();
    for (const auto& member : value.GetObject()) {
      const std::string_view name(member.name.GetString(), member.name.GetStringLength());
      const auto [first, added] = seen.emplace(name, &member.name);
      if (!added) {
        duplicates.push_back(
            {std::string(name), depth + 1, text.PositionOf(member.name), text.PositionOf(*first->second)});
      }
    }
  });
  std::stable_sort(duplicates.begin(), duplicates.end(), [](const DuplicateKey& a, const DuplicateKey& b) {
    return std::pair(a.at.line, a.at.column) < std::pair(b.at.line, b.at.column);
  });
  return duplicates;
}

bool ParseJsonText(std::string_view text, JsonText& parsed, std::string& error) {
  parsed.starts_.clear();
  parsed.lineStarts_.assign(1, 0);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') parsed.lineStarts_.push_back(i + 1);
  }
  parsed.errorPosition_ = {};
  parsed.errorText_.clear();
  auto fail = [&parsed, &error](std::size_t offset, std::string what) {
    parsed.errorPosition_ = parsed.PositionAt(offset);
    parsed.errorText_ = std::move(what);
    error = "at " + DescribePosition(parsed.errorPosition_) + ": " + parsed.errorText_;
    return false;
  };

  std::size_t start = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    start = 3;
  } else if (!text.empty() && static_cast<unsigned char>(text[0]) == 0xEF) {
    return fail(0, "broken byte-order mark.");
  }
  // The parser would take a NUL byte for the end of the text and accept what precedes it.
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) {
    return fail(nul, "NUL byte.");
  }

  // A stream that knows its end: a multi-byte sequence cut off by the end of the text
  // reads as NUL bytes, never as the bytes behind the text.
  rapidjson::MemoryStream stream(text.data() + start, text.size() - start);
  PositionRecorder recorder(parsed.document, text.substr(start), start);
  rapidjson::Reader reader;
  rapidjson::ParseResult result;
  auto generate = [&](rapidjson::Document&) {
    result = reader.Parse<kFlags>(stream, recorder);
    return !result.IsError();
  };
  parsed.document.SetNull();
  parsed.document.Populate(generate);
  if (result.IsError()) {
    parsed.document.SetNull();
    return fail(start + result.Offset(), rapidjson::GetParseError_En(result.Code()));
  }

  const std::vector<std::size_t>& starts = recorder.Starts();
  std::size_t next = 0;
  WalkPreOrder(parsed.document, [&](const rapidjson::Value& value, int) {
    if (next < starts.size()) parsed.starts_.emplace(&value, starts[next++]);
  });
  return true;
}

bool ParseJsonText(std::string_view text, rapidjson::Document& document, std::string& error) {
  JsonText parsed;
  if (!ParseJsonText(text, parsed, error)) return false;
  document.Swap(parsed.document);
  return true;
}

JsonFileResult ReadJsonFile(const std::string& path, JsonText& parsed, std::string& error) {
  try {
    std::string text;
    const base::FileRead read = base::ReadWholeFile(path, base::kDataFileLimit, text);
    switch (read.outcome) {
      case base::ReadOutcome::kRead:
        return ParseJsonText(text, parsed, error) ? JsonFileResult::Parsed : JsonFileResult::Malformed;
      case base::ReadOutcome::kRefused:
        error = read.reason;
        return JsonFileResult::Refused;
      case base::ReadOutcome::kMissing:
        return JsonFileResult::NotOpened;
      case base::ReadOutcome::kFailed:
        break;
    }
    error = read.reason;
    return JsonFileResult::NotOpened;
  } catch (const std::bad_alloc&) {
    parsed.document.SetNull();
    error = "could not be read: out of memory";
    return JsonFileResult::Refused;
  }
}

JsonFileResult ReadJsonFile(const std::string& path, rapidjson::Document& document, std::string& error) {
  JsonText parsed;
  const JsonFileResult result = ReadJsonFile(path, parsed, error);
  if (result == JsonFileResult::Parsed) document.Swap(parsed.document);
  return result;
}

}  // namespace serialization
