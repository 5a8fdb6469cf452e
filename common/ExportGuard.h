// Keeps exceptions from crossing a library boundary: both libraries run
// every export through it.
#pragma once

#include "QuorxComDllH.h"

#include <new>

// Runs Call and returns its result; an escaping exception becomes a result code.
template <class F>
TLinkResult GuardExport(F Call) noexcept {
    try {
        return Call();
    } catch (const std::bad_alloc&) {
        return errMemory;
    } catch (...) {
        return errNilStore; // the only internal-fault code there is
    }
}

// For the exports that answer a failure their own way (a Boolean, a serial
// number, a code of their own): Call's result, or Failed when it throws.
template <class R, class F>
R GuardExport(F Call, R Failed) noexcept {
    try {
        return Call();
    } catch (...) {
        return Failed;
    }
}
