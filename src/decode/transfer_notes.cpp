// Loss and surplus notes shared by the five decoders.
#include "decode/transfer_notes.h"

namespace nlx {

DecodeNote broken_off_note(std::size_t received, std::size_t announced) {
    return DecodeNote{.kind = DecodeNote::Kind::broken_off, .received = received, .announced = announced};
}

DecodeNote surplus_note(std::size_t received, std::size_t announced) {
    return DecodeNote{.kind = DecodeNote::Kind::surplus, .received = received, .announced = announced};
}

}  // namespace nlx
