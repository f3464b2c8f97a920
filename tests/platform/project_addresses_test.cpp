#include "platform/project_addresses.h"

#include <QScopeGuard>

#include <gtest/gtest.h>

namespace {

struct CollectorList {
    const char* name;
    const char* variable;
};

class CollectorsVariable : public ::testing::TestWithParam<CollectorList> {};

TEST_P(CollectorsVariable, GivesTheTwoAddressesWithoutBlanks) {
    qputenv("QUORVEL_COLLECTORS", GetParam().variable);
    const auto unset = qScopeGuard([] { qunsetenv("QUORVEL_COLLECTORS"); });
    EXPECT_EQ(highscore_mail().collectors, (QStringList{"a@x.org", "b@y.org"}));
}

INSTANTIATE_TEST_SUITE_P(Lists, CollectorsVariable,
                         ::testing::Values(CollectorList{"BlankAfterTheComma", "a@x.org, b@y.org"},
                                           CollectorList{"BlanksAndTabsAround", " \ta@x.org ,\tb@y.org \t"},
                                           CollectorList{"EmptyAndBlankEntries", ",a@x.org,, ,b@y.org,"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
