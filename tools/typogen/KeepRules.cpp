#include "tools/typogen/KeepRules.h"

#include <algorithm>
#include <array>

#include "core/text/Text.h"
#include "tools/typogen/EditGenerator.h"

namespace quorix::typogen {

namespace {

constexpr std::size_t kMinimumLetters = 3;

// Chat abbreviations and interjections of it, en, de, es, fr.
constexpr std::array kChat = {
    "cmq",     "cmnq",  "nn",    "xk",    "xke",   "xké",     "xkè",    "xche",   "xché",  "ke",
    "ki",      "tvb",   "tvtb",  "tat",   "qlc",   "qlcs",    "qnd",    "nnt",    "dv",    "sn",
    "tt",      "asp",   "msg",   "info",  "disp",  "bro",     "fra",    "raga",   "grz",   "grazi",
    "bho",     "boh",   "mah",   "beh",   "bhe",   "ahah",    "ahaha",  "ahahah", "haha",  "hahaha",
    "hihi",    "uff",   "uffa",  "mmm",   "mhm",   "ehm",     "pls",    "plz",    "thx",   "lol",
    "omg",     "btw",   "idk",   "imo",   "imho",  "tbh",     "brb",    "afk",    "wtf",   "lmao",
    "rofl",    "okk",   "okay",  "oki",   "okei",  "yep",     "nope",   "yeah",   "yup",   "gonna",
    "wanna",   "gotta", "dunno", "kinda", "sorta", "lemme",   "gimme",  "cuz",    "coz",   "tho",
    "thru",    "nvm",   "smh",   "fyi",   "asap",  "xoxo",    "bff",    "ily",    "mdr",   "ptdr",
    "stp",     "svp",   "bcp",   "jpp",   "tkt",   "mtn",     "slt",    "bjr",    "dsl",   "jsp",
    "tqt",     "xq",    "tmb",   "msj",   "porfa", "xfa",     "bss",    "grax",   "vlt",   "vllt",
    "mfg",     "hdl",   "bzw",   "usw",   "evtl",  "bspw",    "ggf",    "uvm",    "nen",   "nich",
    "nix",     "isses", "gehts", "gibts", "haste", "weisste", "weißte", "hallo",  "ciaoo", "ciaooo",
    "graziee", "sii",   "nooo",  "siii",  "prg",   "qst",     "cvd",    "cdt",    "pcq",   "psk",
    "bsr",     "nrv",   "vrm",   "tmtc",  "tqm",   "grx",     "dnd",    "mms",    "sts",   "pff",
    "pfff",    "prr",   "tss",   "pst",   "psst",  "brr",     "grr",    "hmm",    "sxo",   "sxò",
    "xò",      "tjrs",  "tjr",   "jtm",   "vrmt",  "ptet",    "qnt",    "tnt",    "dmn",   "wmd",
};

// Code-like tokens, shell commands and developer jargon.
constexpr std::array kCode = {
    "intl",    "popen",   "malloc", "calloc",   "realloc", "printf",  "sprintf",   "fprintf",
    "stdin",   "stdout",  "stderr", "stdio",    "stdlib",  "strlen",  "strcmp",    "strcpy",
    "memcpy",  "memset",  "sizeof", "typedef",  "struct",  "enum",    "const",     "bool",
    "uint",    "func",    "elif",   "lambda",   "init",    "utf",     "ascii",     "http",
    "https",   "html",    "xml",    "json",     "yaml",    "toml",    "csv",       "sql",
    "url",     "uri",     "regex",  "regexp",   "args",    "argv",    "argc",      "kwargs",
    "params",  "param",   "env",    "config",   "conf",    "repo",    "src",       "lib",
    "libs",    "dirs",    "dev",    "prod",     "npm",     "pnpm",    "npx",       "yarn",
    "api",     "sdk",     "cli",    "gui",      "tmp",     "usr",     "etc",       "bin",
    "sbin",    "proc",    "pid",    "uid",      "gid",     "tcp",     "udp",       "dns",
    "ssh",     "ssl",     "tls",    "vpn",      "wifi",    "ipv",     "localhost", "sudo",
    "chmod",   "chown",   "mkdir",  "grep",     "sed",     "awk",     "git",       "svn",
    "diff",    "rebase",  "stash",  "nginx",    "docker",  "kubectl", "yml",       "txt",
    "pdf",     "png",     "jpg",    "jpeg",     "gif",     "svg",     "exe",       "dll",
    "deb",     "rpm",     "iso",    "zip",      "unzip",   "gzip",    "tar",       "rar",
    "dmg",     "ios",     "macos",  "linux",    "unix",    "posix",   "gnu",       "gcc",
    "clang",   "cmake",   "make",   "rustc",    "cargo",   "deno",    "brew",      "curl",
    "wget",    "bash",    "zsh",    "vim",      "nano",    "tmux",    "htop",      "echo",
    "pwd",     "systemd", "cron",   "crontab",  "async",   "await",   "impl",      "mut",
    "pub",     "std",     "vec",    "str",      "len",     "dict",    "tuple",     "ptr",
    "nullptr", "null",    "nil",    "undef",    "noop",    "todo",    "fixme",     "wip",
    "lgtm",    "ctrl",    "esc",    "pgup",     "pgdn",    "auth",    "sync",      "props",
    "hook",    "hooks",   "deploy", "refactor", "staging", "dbms",    "poc",       "repl",
    "stdint",  "uintptr", "ssize",  "errno",    "getenv",  "setenv",  "ioctl",     "mmap",
    "fork",    "exec",    "execve", "pthread",  "mutex",   "atoi",    "itoa",      "strtol",
    "fopen",   "fclose",  "fread",  "fwrite",   "fseek",   "ftell",   "pclose",    "tty",
    "ttys",    "pty",     "passwd", "fgets",    "fputs",   "getline", "mtime",     "atime",
    "ctime",   "uniq",    "msgid",  "msgstr",   "cpuid",   "reloc",   "cpu",       "cpus",
    "gpu",     "gpus",
};

// Developer jargon no dictionary knows: build and packaging words, git
// options, and the German verbs made of English ones.
constexpr std::array kJargon = {
    "idx",       "endef",     "oneline",   "deconfigure", "deconfigured", "deconfiguration",
    "mergen",    "gemergt",   "forken",    "geforkt",     "matchen",      "gematcht",
    "parsen",    "geparst",   "pushen",    "gepusht",     "pullen",       "gepullt",
    "committen", "committet", "rebasen",   "debuggen",    "oid",          "sys",
    "setuid",    "setgid",    "postrm",    "postinst",    "preinst",      "prerm",
    "eval",      "etag",      "packageid", "lzma",        "mbox",         "midx",
    "pread",     "pwrite",    "slocate",   "subdir",      "subdirs",      "groff",
};

constexpr std::array kBrands = {
    "google",      "gmail",   "youtube",    "whatsapp",  "telegram", "instagram",  "facebook",
    "tiktok",      "twitter", "netflix",    "spotify",   "amazon",   "iphone",     "ipad",
    "macbook",     "imac",    "airpods",    "android",   "samsung",  "huawei",     "xiaomi",
    "microsoft",   "outlook", "skype",      "slack",     "discord",  "github",     "gitlab",
    "linkedin",    "reddit",  "uber",       "airbnb",    "paypal",   "ebay",       "nintendo",
    "playstation", "xbox",    "tesla",      "chatgpt",   "openai",   "wikipedia",  "firefox",
    "chrome",      "safari",  "dropbox",    "icloud",    "gdrive",   "notion",     "trello",
    "jira",        "figma",   "canva",      "vodafone",  "iliad",    "fastweb",    "postepay",
    "satispay",    "zalando", "ikea",       "lidl",      "conad",    "esselunga",  "decathlon",
    "mediaworld",  "unieuro", "trenitalia", "ryanair",   "easyjet",  "vinted",     "deliveroo",
    "glovo",       "justeat", "snapchat",   "pinterest", "twitch",   "signal",     "viber",
    "wechat",      "yahoo",   "bing",       "office",    "excel",    "powerpoint", "onedrive",
};

// Italian words written without their accent; whether they are corrected is
// the user's accent setting, not the dictionary's decision.
constexpr std::array kAccentless = {
    "perche", "perchè",  "cioe",      "piu",     "pero",    "gia",    "cosi",  "puo",
    "lunedi", "martedi", "mercoledi", "giovedi", "venerdi", "chissa", "lassu", "quaggiu",
};

template <std::size_t N>
bool listed(const std::array<const char*, N>& list, std::string_view word) {
    return std::any_of(list.begin(), list.end(), [&](const char* w) { return word == w; });
}

// A basic Latin letter three times in a row reads as expressive elongation
// ("grazieee"): the send-time checks let such a message through untouched, so
// an entry for it could never act.
bool hasTripledLetter(const std::u32string& cps) {
    for (std::size_t i = 2; i < cps.size(); ++i) {
        const char32_t c = cps[i] | 0x20;
        if (c >= U'a' && c <= U'z' && (cps[i - 1] | 0x20) == c && (cps[i - 2] | 0x20) == c) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string_view rejectionName(Rejection r) {
    switch (r) {
        case Rejection::Shape:
            return "shape";
        case Rejection::ChatOrCode:
            return "chat-or-code";
        case Rejection::Brand:
            return "brand";
        case Rejection::AccentSetting:
            return "accent-setting";
        case Rejection::InUse:
            return "in-use";
    }
    return "?";
}

KeepRules::KeepRules(std::unordered_set<std::string> inUse) : inUse_(std::move(inUse)) {}

std::vector<std::string> KeepRules::listedTokens() {
    std::vector<std::string> out(kChat.begin(), kChat.end());
    out.insert(out.end(), kCode.begin(), kCode.end());
    out.insert(out.end(), kJargon.begin(), kJargon.end());
    out.insert(out.end(), kBrands.begin(), kBrands.end());
    return out;
}

bool KeepRules::isChatOrCode(std::string_view w) {
    return listed(kChat, w) || listed(kCode, w) || listed(kJargon, w);
}

bool KeepRules::isAccentlessWord(std::string_view w) {
    return listed(kAccentless, w);
}

std::optional<Rejection> KeepRules::reject(std::string_view typo, bool checkInUse) const {
    const std::u32string cps = text::toUtf32(typo);
    if (cps.size() < kMinimumLetters ||
        !std::all_of(cps.begin(), cps.end(), [](char32_t c) { return text::isLetter(c); }) ||
        std::none_of(cps.begin(), cps.end(), EditGenerator::isVowel) || hasTripledLetter(cps)) {
        return Rejection::Shape;
    }
    if (isChatOrCode(typo)) {
        return Rejection::ChatOrCode;
    }
    if (listed(kBrands, typo)) {
        return Rejection::Brand;
    }
    if (isAccentlessWord(typo)) {
        return Rejection::AccentSetting;
    }
    if (checkInUse && inUse_.count(std::string(typo)) != 0) {
        return Rejection::InUse;
    }
    return std::nullopt;
}

}  // namespace quorix::typogen
