// The decoders' notes on what a transfer lost or carried beyond its count, made one way for
// every model.
#pragma once

#include <cstddef>

#include "core/decode_note.h"

namespace nlx {

// The transfer ended after `received` of `announced` bytes.
DecodeNote broken_off_note(std::size_t received, std::size_t announced);

// More than the `announced` bytes arrived; the rest was ignored.
DecodeNote surplus_note(std::size_t received, std::size_t announced);

}  // namespace nlx
