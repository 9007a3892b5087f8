#include "app/rules/run_states.h"

#include <gtest/gtest.h>

namespace {

using namespace run_states;
using enum Response;

struct Expected {
    Request request;
    Response starting, locked, running, closing;
};

// Written out apart from the table it checks, so that a row changed there by
// mistake shows here.
constexpr Expected kExpected[] = {
    {Request::command, ignore, ignore, act, ignore},
    {Request::exitCommand, ignore, act, act, ignore},
    {Request::lockCommand, ignore, ignore, lock, ignore},
    {Request::deliveryHotkey, ignore, ignore, act, ignore},
    {Request::showRequest, ignore, askPassword, act, ignore},
    {Request::iconMenu, ignore, act, act, ignore},
    {Request::lockTrigger, ignore, ignore, lock, ignore},
    {Request::idleCheck, ignore, ignore, act, ignore},
};

TEST(RunStates, EachRequestInEachPhase) {
    for (const Expected& row : kExpected) {
        SCOPED_TRACE(static_cast<int>(row.request));
        EXPECT_EQ(responseTo(row.request, Phase::starting), row.starting);
        EXPECT_EQ(responseTo(row.request, Phase::locked), row.locked);
        EXPECT_EQ(responseTo(row.request, Phase::running), row.running);
        EXPECT_EQ(responseTo(row.request, Phase::closing), row.closing);
    }
}

}  // namespace
