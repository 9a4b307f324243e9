#pragma once
// Word and phrase lists of the local text heuristics. Every entry is lower
// case and in Unicode normalisation form C; callers compare lowercased,
// NFC-normalised text against them.

#include <iterator>
#include <string_view>

namespace quorix::heuristics {

// Shell and tool commands, matched against a whole word.
inline constexpr std::string_view kShellCommands[] = {
    "git",     "npm",   "pnpm", "yarn",    "npx",   "docker", "cargo", "brew", "curl",
    "kubectl", "ssh",   "sudo", "killall", "swift", "python", "node",  "deno", "bun",
    "rust",    "rustc", "gcc",  "clang",   "make",  "cmake",  "bash",  "zsh",  "sh",
    "cd",      "ls",    "grep", "cat",     "chmod", "chown",  "mkdir", "rm",   "mv",
    "cp",      "echo",  "pwd",  "vi",      "vim",   "nano",   "tmux",  "htop", "top",
    "tar",     "gzip",  "zip",  "unzip",   "sed",   "awk",    "find",  "diff",
};
static_assert(std::size(kShellCommands) == 53);

// File-name endings, matched as suffixes of the word as typed.
inline constexpr std::string_view kFileEndings[] = {
    ".ts",   ".js", ".jsx",  ".tsx", ".py", ".swift", ".json", ".yml",
    ".yaml", ".sh", ".html", ".css", ".md", ".env",   ".lock", ".sql",
};
static_assert(std::size(kFileEndings) == 16);

// Developer and chat jargon, matched against a whole word.
inline constexpr std::string_view kDevJargon[] = {
    "fe",      "be",     "pr",     "mr",     "wip",     "lgtm",  "plz",      "pls",   "thx",
    "ty",      "btw",    "fyi",    "idk",    "tbh",     "imo",   "imho",     "rn",    "brb",
    "afk",     "np",     "gg",     "poc",    "ci",      "cd",    "repo",     "sync",  "auth",
    "config",  "env",    "param",  "params", "arg",     "args",  "async",    "await", "fn",
    "impl",    "enum",   "struct", "props",  "hook",    "hooks", "dev",      "prod",  "stage",
    "staging", "sdk",    "api",    "cli",    "ui",      "ux",    "db",       "dbms",  "fix",
    "bug",     "deploy", "merge",  "branch", "release", "build", "refactor",
};
static_assert(std::size(kDevJargon) == 61);

// Terms that call for a rewrite in work contexts, found as substrings.
inline constexpr std::string_view kToneCheckTerms[] = {
    "cazzo",       "merda",    "stronz",    "schifo",   "pena",   "rompere", "rotto",  "vaffanculo",
    "fanculo",     "coglione", "coglioni",  "stupido",  "idiota", "frega",   "incazz", "minchia",
    "roba a caso", "fa pena",  "fa schifo", "bullshit", "fuck",   "damn",    "crap",   "cmq",
    "xk",          "xke",      "disp",      "info",     "msg",    "sn",      "tt",     "asp",
    "nn",          "bro",      "fra",       "raga",
};
static_assert(std::size(kToneCheckTerms) == 36);

// Phrases that are wrong wherever they occur, found as substrings.
inline constexpr std::string_view kWrongPhrases[] = {
    "statti", "dovette", "avvolte", "daccordo", "fa parte", "fa fatto",
};
static_assert(std::size(kWrongPhrases) == 6);

// Added to the wrong phrases while accents are corrected; the trailing blanks
// are part of the entries.
inline constexpr std::string_view kAccentWrongPhrases[] = {
    "qual'è",
    "qual e ",
    "un po ",
    "po ",
};
static_assert(std::size(kAccentWrongPhrases) == 4);

// The wrong phrase that is legitimate inside these phrases.
inline constexpr std::string_view kStattiPhrase = "statti";
inline constexpr std::string_view kLegitimateStattiPhrases[] = {
    "statti zitto",
    "statti fermo",
    "statti buono",
    "statti attento",
};
static_assert(std::size(kLegitimateStattiPhrases) == 4);

// Italian function words: one of them among the words marks a text as Italian.
inline constexpr std::string_view kItalianFunctionWords[] = {
    "il",     "lo",     "la",     "i",      "gli",     "le",     "un",   "uno",   "una",   "di",
    "a",      "da",     "in",     "con",    "su",      "per",    "tra",  "fra",   "è",     "e",
    "sono",   "ho",     "hai",    "ha",     "abbiamo", "hanno",  "che",  "chi",   "cosa",  "come",
    "dove",   "quando", "perché", "perchè", "io",      "tu",     "lui",  "lei",   "noi",   "voi",
    "loro",   "mi",     "ti",     "si",     "ci",      "vi",     "non",  "più",   "molto", "poco",
    "tutto",  "se",     "anche",  "ma",     "però",    "quindi", "dopo", "prima", "ora",   "adesso",
    "questo", "questa", "questi", "queste", "quello",  "quella",
};
static_assert(std::size(kItalianFunctionWords) == 66);

// Elided forms (the apostrophe already removed) that are never spell-checked.
inline constexpr std::string_view kElidedForms[] = {
    "dell", "dall", "nell", "all", "sull", "un",    "l",  "c",
    "d",    "m",    "t",    "s",   "v",    "quest", "gl", "po",
};
static_assert(std::size(kElidedForms) == 16);

// Words commonly written without their accent; left alone unless accents are
// corrected.
inline constexpr std::string_view kUnaccentedWords[] = {
    "perche", "perchè",  "cioe",      "piu",     "pero",    "gia",    "cosi",  "puo",
    "lunedi", "martedi", "mercoledi", "giovedi", "venerdi", "chissa", "lassu", "quaggiu",
};
static_assert(std::size(kUnaccentedWords) == 16);

}  // namespace quorix::heuristics
