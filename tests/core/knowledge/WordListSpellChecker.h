#pragma once
// A spell checker driven by word lists. Misspelled: the words marked as typos
// and, in strict mode, every word accepted neither for the language asked nor
// for all languages. Words are compared lowercased unless told otherwise;
// every question is recorded.

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/text/Text.h"
#include "platform/SpellChecker.h"

namespace quorix::testing {

class WordListSpellChecker : public platform::SpellChecker {
  public:
    using Asked = std::vector<std::pair<std::string, std::string>>;  // (word, language)

    explicit WordListSpellChecker(const std::set<std::string>& accepted = {}, bool strict = false,
                                  bool foldCase = true)
        : strict_(strict), foldCase_(foldCase) {
        accept(accepted);
    }

    bool isMisspelled(std::string_view word, std::string_view language) override {
        if (onCheck) {
            onCheck();
        }
        const std::string w = key(word);
        std::lock_guard lock(mutex_);
        asked_.emplace_back(std::string(word), std::string(language));
        if (w.empty()) {
            return false;
        }
        if (w == throwOn_) {
            throw std::runtime_error("spell checker failed on '" + w + "'");
        }
        if (typos_.contains(w)) {
            return true;
        }
        const auto accepted = [&](const std::string& in) {
            const auto it = accepted_.find(in);
            return it != accepted_.end() && it->second.contains(w);
        };
        return strict_ && !accepted("") && !accepted(std::string(language));
    }
    void markMisspelled(const std::set<std::string>& words) {
        std::lock_guard lock(mutex_);
        for (const auto& w : words) {
            typos_.insert(key(w));
        }
    }
    // Accepted in `language`, or in every language when none is given.
    void accept(const std::set<std::string>& words, const std::string& language = "") {
        std::lock_guard lock(mutex_);
        for (const auto& w : words) {
            accepted_[language].insert(key(w));
            typos_.erase(key(w));
        }
    }
    void setStrict(bool strict) {
        std::lock_guard lock(mutex_);
        strict_ = strict;
    }
    // Checking this word throws.
    void throwOn(const std::string& word) {
        std::lock_guard lock(mutex_);
        throwOn_ = word;
    }
    // The questions asked since the last call, in order.
    Asked takeAsked() {
        std::lock_guard lock(mutex_);
        return std::exchange(asked_, {});
    }
    std::set<std::string> languagesAsked() {
        std::lock_guard lock(mutex_);
        std::set<std::string> out;
        for (const auto& question : asked_) {
            out.insert(question.second);
        }
        return out;
    }
    void preload() override { ++preloads; }

    std::atomic<int> preloads{0};
    // Runs at every question (set before the run starts): e.g. the time a
    // real checker would take.
    std::function<void()> onCheck;

  private:
    std::string key(std::string_view word) const {
        return foldCase_ ? text::toLower(word) : std::string(word);
    }

    std::mutex mutex_;
    std::set<std::string> typos_;
    std::map<std::string, std::set<std::string>> accepted_;
    Asked asked_;
    bool strict_;
    const bool foldCase_;
    std::string throwOn_;
};

}  // namespace quorix::testing
