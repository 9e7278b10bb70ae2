#include "support/sound_requests.h"

#include <array>

namespace {

constexpr int kHighestId = PlanetExplosion;
std::array<int, kHighestId + 1> requests{};

void countRequest(SoundId id) {
    ++requests.at(static_cast<std::size_t>(id));
}

} // namespace

SoundRequests::SoundRequests() {
    requests.fill(0);
    setSoundSink(countRequest);
}

SoundRequests::~SoundRequests() {
    setSoundSink(nullptr);
}

int SoundRequests::count(SoundId id) const {
    return requests.at(static_cast<std::size_t>(id));
}
