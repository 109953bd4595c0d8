// A model's descriptor from its letter, for tests that name models by letter.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "core/models.h"

namespace nlx::test {

// The descriptor of model `letter`; a letter that is no model stops the test program, since
// the test itself is wrong.
inline const ModelInfo& model_of(char letter) {
    const ModelInfo* model = find_model(letter);
    if (!model) {
        std::fprintf(stderr, "test names no model '%c'\n", letter);
        std::abort();
    }
    return *model;
}
inline const ModelInfo& model_of(const ModelInfo& model) { return model; }

}  // namespace nlx::test
