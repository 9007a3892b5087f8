#include "app/rules/run_states.h"

#include <iterator>

namespace run_states {
namespace {

using enum Response;

struct Row {
    Request request;
    Response starting, locked, running, closing;
};

// While locked only the icon's menu, the exit and the way back to the password
// act; before the start and after the shutdown, nothing.
// clang-format off
constexpr Row kTable[] = {
    // request                 starting locked       running  closing
    {Request::command,         ignore,  ignore,      act,     ignore},
    {Request::exitCommand,     ignore,  act,         act,     ignore},
    {Request::lockCommand,     ignore,  ignore,      lock,    ignore},
    {Request::deliveryHotkey,  ignore,  ignore,      act,     ignore},
    {Request::showRequest,     ignore,  askPassword, act,     ignore},
    {Request::iconMenu,        ignore,  act,         act,     ignore},
    {Request::lockTrigger,     ignore,  ignore,      lock,    ignore},
    {Request::idleCheck,       ignore,  ignore,      act,     ignore},
};
// clang-format on

}  // namespace

Response responseTo(Request request, Phase phase) {
    for (const Row& row : kTable) {
        if (row.request != request) continue;
        switch (phase) {
            case Phase::starting:
                return row.starting;
            case Phase::locked:
                return row.locked;
            case Phase::running:
                return row.running;
            case Phase::closing:
                return row.closing;
        }
    }
    return ignore;
}

}  // namespace run_states
