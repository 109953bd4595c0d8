// What the TM27 prints from the bytes it receives: its lines as readable UTF-8 text.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace nlx::sim {

// Reads the printer's byte stream piece by piece, as it arrives. Text is GBK; CR ends a line;
// the printer's commands (ESC @ reset, ESC 1 n line spacing, ESC U n character width) print
// nothing; 9Ch 9Ch 7Fh is the squared sign of the unit Pa²h; LF and XON/XOFF print nothing; any
// other byte that prints no character is shown as \xNN.
class Tm27Paper {
public:
    // Takes the next bytes; returns the lines they complete, each ended by "\n".
    std::string feed(std::span<const std::uint8_t> bytes);
    // The line begun and not ended yet (a command cut short at the end is left out).
    std::string unfinished() const;

private:
    std::string line_;                  // UTF-8 of the line being printed
    std::vector<std::uint8_t> pending_;  // bytes of a command or character not complete yet
};

}  // namespace nlx::sim
