// The virtual instrument the desktop program downloads from with --simulate and --screenshot.
#pragma once

#include <cstdint>
#include <memory>

#include "core/result.h"
#include "core/settings.h"
#include "sim/virtual_instrument.h"

namespace nlx::app {

struct Simulation {
    std::reference_wrapper<const ModelInfo> model = all_models().front();
    int groups = 30;
    std::uint32_t seed = 1;
    bool pace = false;
    sim::Fault fault;
    sim::LevelSequence levels = {};  // the live levels to answer with; empty: the seeded swing
};

// A running virtual instrument of `simulation`, serving on its own thread.
Result<std::unique_ptr<sim::VirtualInstrument>> start_simulation(const Simulation& simulation);

// The serial settings that reach the instrument: its pseudo-terminal at 9600 bit/s.
SerialSettings simulation_settings(const sim::VirtualInstrument& instrument);

}  // namespace nlx::app
