// The backend in use, and its entries with the headless ones standing in for any the
// backend leaves null.
#include "platform/backend.h"

namespace {
const Backend*& Current() {
    static const Backend* current = &kHeadlessBackend;
    return current;
}
}  // namespace

const Backend* BackendCurrent() { return Current(); }

void BackendSelect(const Backend* backend) { Current() = backend ? backend : &kHeadlessBackend; }

bool BackendWaitInput() {
    const Backend* b = Current();
    return (b->WaitInput ? b->WaitInput : kHeadlessBackend.WaitInput)();
}

void BackendPollInput() {
    const Backend* b = Current();
    (b->PollInput ? b->PollInput : kHeadlessBackend.PollInput)();
}

void BackendPresent() {
    const Backend* b = Current();
    (b->Present ? b->Present : kHeadlessBackend.Present)();
}
