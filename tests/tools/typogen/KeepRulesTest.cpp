#include <gtest/gtest.h>

#include "tools/typogen/KeepRules.h"

namespace quorix::typogen {
namespace {

TEST(KeepRules, RejectsTokensPeopleWriteOnPurpose) {
    const KeepRules rules({"marco", "cittá"});
    EXPECT_EQ(rules.reject("ab"), Rejection::Shape);
    EXPECT_EQ(rules.reject("ci4o"), Rejection::Shape);
    EXPECT_EQ(rules.reject("brr"), Rejection::Shape);  // no vowel
    EXPECT_EQ(rules.reject("l'acqua"), Rejection::Shape);
    EXPECT_EQ(rules.reject("cmq"), Rejection::Shape);
    EXPECT_EQ(rules.reject("tuttto"), Rejection::Shape);  // reads as elongation
    EXPECT_EQ(rules.reject("TUTTTO"), Rejection::Shape);
    EXPECT_EQ(rules.reject("xke"), Rejection::ChatOrCode);
    EXPECT_EQ(rules.reject("intl"), Rejection::ChatOrCode);
    EXPECT_EQ(rules.reject("popen"), Rejection::ChatOrCode);
    EXPECT_EQ(rules.reject("gmail"), Rejection::Brand);
    EXPECT_EQ(rules.reject("perche"), Rejection::AccentSetting);
    EXPECT_EQ(rules.reject("venerdi"), Rejection::AccentSetting);
    EXPECT_EQ(rules.reject("marco"), Rejection::InUse);
    EXPECT_EQ(rules.reject("marco", /*checkInUse=*/false), std::nullopt);
}

TEST(KeepRules, KeepsOrdinarySlips) {
    const KeepRules rules({"marco"});
    EXPECT_EQ(rules.reject("qeusto"), std::nullopt);
    EXPECT_EQ(rules.reject("cge"), std::nullopt);
    EXPECT_EQ(rules.reject("perchr"), std::nullopt);
    EXPECT_EQ(rules.reject("grüsse"), std::nullopt);
    EXPECT_EQ(rules.reject("cafféé"), std::nullopt);  // only basic Latin letters elongate
}

}  // namespace
}  // namespace quorix::typogen
