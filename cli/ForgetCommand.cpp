#include "cli/ForgetCommand.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "cli/ServiceRoot.h"
#include "cli/Subcommand.h"
#include "core/knowledge/ForgetWord.h"

namespace quorix::cli {
namespace {

const char* const kUsage =
    "usage: quorix forget WORD\n"
    "  The corrector stops changing WORD: the pair learned for it is removed,\n"
    "  WORD joins the personal dictionary and the correction cache is cleared.\n";

}  // namespace

int runForgetCommand(std::span<char* const> args) {
    if (args.size() == 1 &&
        (std::string_view(args[0]) == "-h" || std::string_view(args[0]) == "--help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.size() != 1 || std::string_view(args[0]).starts_with("-")) {
        std::fputs(kUsage, stderr);
        return kUsageExit;
    }
    ServiceRootOptions options;
    options.offline = true;
    options.logEcho = nullptr;
    std::optional<ForgottenWord> forgotten;
    {
        ServiceRoot root(options);
        forgotten = forgetWord(args[0], root.dictionary(), root.config(), root.cache());
    }
    if (!forgotten) {
        std::fputs(kUsage, stderr);
        return kUsageExit;
    }
    std::string line = "'" + forgotten->word + "': ";
    if (forgotten->learnedCorrection) {
        line += "learned pair '" + forgotten->word + "' -> '" + *forgotten->learnedCorrection +
                "' removed; ";
    } else {
        line += "no learned pair; ";
    }
    line += "added to the personal dictionary\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace quorix::cli
