// Data paths: the name is made normal by its own steps ("." and ".." resolved within
// the name, so it can never climb above its root), then walked from each root to see
// that no symbolic link on the way leads out of it.
#include "base/data_path.h"

#include <system_error>
#include <utility>

namespace base {
namespace {

namespace fs = std::filesystem;

ResolvedPath Refusal(PathVerdict verdict, std::string reason) { return {verdict, {}, std::move(reason)}; }

// The steps of a relative name with empty and "." steps dropped and each ".." taking
// back the step before it; false when a ".." has no step left to take back.
bool NormalSteps(std::string_view written, std::vector<std::string_view>& steps) {
  for (std::size_t start = 0; start <= written.size();) {
    std::size_t end = written.find('/', start);
    if (end == std::string_view::npos) end = written.size();
    const std::string_view step = written.substr(start, end - start);
    if (step == "..") {
      if (steps.empty()) return false;
      steps.pop_back();
    } else if (!step.empty() && step != ".") {
      steps.push_back(step);
    }
    start = end + 1;
  }
  return true;
}

bool Within(const fs::path& path, const fs::path& root) {
  auto at = path.begin();
  for (const fs::path& part : root) {
    if (at == path.end() || *at != part) return false;
    ++at;
  }
  return true;
}

// The root with every link resolved; empty when it does not exist.
fs::path CanonicalRoot(const fs::path& root) {
  std::error_code error;
  const fs::path start = root.empty() ? fs::current_path(error) : root;
  if (error) return {};
  fs::path canonical = fs::canonical(start, error);
  return error ? fs::path() : canonical;
}

// How the name fares under one canonical root: refused for a link that leads out,
// else whether the file is there.
struct RootLook {
  bool leadsOut = false;
  bool exists = false;
  std::string link;  // the steps up to the link that leads out
};

// Where the link at `at` leads, following the links it leads to; a link that leads
// nowhere yet is judged by where it points.
fs::path LinkTarget(fs::path at, std::error_code& error) {
  for (int hop = 0; hop < 40; ++hop) {
    const fs::path target = fs::read_symlink(at, error);
    if (error) return {};
    at = fs::weakly_canonical(target.is_absolute() ? target : at.parent_path() / target, error);
    if (error || !fs::is_symlink(fs::symlink_status(at, error))) return at;
  }
  error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
  return {};
}

RootLook LookUnder(const fs::path& root, const std::vector<std::string_view>& steps) {
  RootLook look;
  fs::path at = root;
  std::string walked;
  for (const std::string_view step : steps) {
    at /= fs::path(step);
    walked += (walked.empty() ? "" : "/") + std::string(step);
    std::error_code error;
    const fs::file_status status = fs::symlink_status(at, error);
    if (error || !fs::exists(status)) return look;
    if (!fs::is_symlink(status)) continue;
    const fs::path target = LinkTarget(at, error);
    if (error || !Within(target, root)) {
      look.leadsOut = true;
      look.link = walked;
      return look;
    }
  }
  look.exists = true;
  return look;
}

}  // namespace

DataPathBlock& DataPaths() {
  static DataPathBlock block;
  return block;
}

ResolvedPath ResolveDataPath(std::string_view written) { return ResolveDataPath(written, DataPaths().roots); }

ResolvedPath ResolveDataPath(std::string_view written, const std::vector<fs::path>& roots) {
  if (written.find('\0') != std::string_view::npos) return Refusal(PathVerdict::kNoName, "holds a NUL byte");
  if (written.starts_with('/')) {
    return Refusal(PathVerdict::kAbsolute, "is an absolute path; data paths lead from the data folder");
  }
  std::vector<std::string_view> steps;
  if (!NormalSteps(written, steps)) {
    return Refusal(PathVerdict::kClimbsOut, "climbs out of the data folder with \"..\"");
  }
  if (steps.empty()) return Refusal(PathVerdict::kNoName, "names no file");
  std::string normal;
  for (const std::string_view step : steps) normal += (normal.empty() ? "" : "/") + std::string(step);

  std::string first;
  for (const fs::path& root : roots) {
    const fs::path canonical = CanonicalRoot(root);
    if (canonical.empty()) continue;
    const RootLook look = LookUnder(canonical, steps);
    if (look.leadsOut) {
      return Refusal(PathVerdict::kLinkLeadsOut,
                     "leads out of the data folder through the symbolic link \"" + look.link + "\"");
    }
    std::string path = root.empty() ? normal : (root / normal).generic_string();
    if (look.exists) return {PathVerdict::kInside, std::move(path), {}};
    if (first.empty()) first = std::move(path);
  }
  return {PathVerdict::kInside, first.empty() ? normal : first, {}};
}

}  // namespace base
