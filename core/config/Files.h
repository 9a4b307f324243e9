#pragma once
// Whole-file reads and private writes for the configuration folder. Every file
// created here has mode 0600, every folder 0700: the folder holds API keys and
// message texts. No function throws; failures are reported by the result.

#include <optional>
#include <string>
#include <string_view>

namespace quorix::files {

// The whole content, or nullopt when the file cannot be read.
std::optional<std::string> readAll(const std::string& path);
// Writes a temporary file beside path (mode 0600), syncs it and renames it over
// path: readers see the old or the new content, never a mix. No temporary file
// is left behind, whatever the outcome.
bool writeAtomic(const std::string& path, std::string_view data);
// Truncates or creates path (mode 0600) and writes data.
bool writePlain(const std::string& path, std::string_view data);
// Appends data with one write() on an O_APPEND descriptor, so that concurrent
// appends of small pieces land whole. Creates the file (0600) when missing.
bool append(const std::string& path, std::string_view data);
bool remove(const std::string& path);
// Creates path with missing parents (mode 0700) and tightens an existing final
// folder to 0700.
bool ensurePrivateFolder(const std::string& path);
bool exists(const std::string& path);
// a + "/" + b without doubling a trailing slash of a.
std::string join(std::string_view a, std::string_view b);

}  // namespace quorix::files
