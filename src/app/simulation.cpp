// Starting the virtual instrument with generated groups of a model.
#include "app/simulation.h"

#include "sim/generated_content.h"

namespace nlx::app {

Result<std::unique_ptr<sim::VirtualInstrument>> start_simulation(const Simulation& simulation) {
    auto content = sim::generated_capture(simulation.model, simulation.groups, simulation.seed);
    if (!content) return content.error();
    sim::InstrumentOptions options;
    options.model = simulation.model;
    options.content = [capture = *content] { return capture; };
    options.pace = simulation.pace;
    options.baud = 9600;
    options.fault = simulation.fault;
    options.level_sequence = simulation.levels;
    auto instrument = sim::VirtualInstrument::open(std::move(options));
    if (!instrument) return instrument.error();
    if (auto started = (*instrument)->start(); !started) return started.error();
    return std::move(*instrument);
}

SerialSettings simulation_settings(const sim::VirtualInstrument& instrument) {
    return SerialSettings{PortSpec{0, instrument.device()}, 9600};
}

}  // namespace nlx::app
