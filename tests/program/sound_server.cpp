#include "sound_server.h"

#include "polling.h"

#include "audio/limiter.h"
#include "support/ceiling_runs.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace {

constexpr double kFullScale = 32768.0;
// The sound server's conversion to 16 bits may round a sample at the ceiling either way.
constexpr float kOneStep = 1.0f / 32768.0f;
constexpr double kSilenceDb = -200.0;
constexpr double kRiseWindowSeconds = 0.01;
constexpr int kChannels = 2;
constexpr const char* kSink = "out";

std::string makePrivateFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantorel-sound-XXXXXX");
    if (!mkdtemp(pattern.data())) { // made 0700, as PulseAudio wants its runtime folder
        throw std::runtime_error("cannot make a folder for the sound server");
    }
    return pattern;
}

// `arguments` run with their output and errors added to the files given.
ChildProcess::Launch writingInto(std::vector<std::string> arguments, const std::string& output,
                                 const std::string& errors) {
    ChildProcess::Launch launch;
    launch.arguments = std::move(arguments);
    launch.output = output;
    launch.errors = errors;
    return launch;
}

void stopWith(std::optional<ChildProcess>& program, int signal) {
    if (program) {
        program->stop(signal);
        program.reset();
    }
}

std::uintmax_t sizeOf(const std::string& file) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    return error ? 0 : size;
}

std::vector<std::int16_t> samplesIn(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    std::vector<std::int16_t> samples(bytes.size() / sizeof(std::int16_t));
    std::copy_n(bytes.data(), samples.size() * sizeof(std::int16_t),
                reinterpret_cast<char*>(samples.data()));
    return samples;
}

std::vector<float> scaled(const std::vector<std::int16_t>& samples, float gain) {
    std::vector<float> floats;
    for (const std::int16_t sample : samples) {
        floats.push_back(gain * static_cast<float>(sample / kFullScale));
    }
    return floats;
}

} // namespace

double HeardSound::seconds() const {
    return static_cast<double>(samples.size()) / kChannels / kFramesPerSecond;
}

double HeardSound::levelDb(double from, double to) const {
    const auto sampleAt = [&](double second) {
        const double frame = std::clamp(second, 0.0, seconds()) * kFramesPerSecond;
        return static_cast<std::size_t>(frame) * kChannels;
    };
    const std::size_t first = sampleAt(from);
    const std::size_t last = sampleAt(to);
    double sum = 0.0;
    for (std::size_t i = first; i < last; ++i) {
        const double sample = samples[i] / kFullScale;
        sum += sample * sample;
    }
    if (last <= first || sum == 0.0) {
        return kSilenceDb;
    }
    return 10.0 * std::log10(sum / static_cast<double>(last - first));
}

int HeardSound::fullScaleSamples() const {
    return static_cast<int>(std::count_if(samples.begin(), samples.end(), [](std::int16_t s) {
        return s == INT16_MAX || s == INT16_MIN;
    }));
}

int HeardSound::longestRunAtCeiling() const {
    return ::longestRunAtCeiling(scaled(samples, 1.0f), kChannels, Limiter::kCeiling, kOneStep);
}

int HeardSound::longestRunOnceClampedFlat(double louderDb) const {
    const auto louder = static_cast<float>(std::pow(10.0, louderDb / 20.0));
    return ::longestRunAtCeiling(clampedFrameByFrame(scaled(samples, louder), kChannels,
                                                     Limiter::kCeiling, kFramesPerSecond),
                                 kChannels, Limiter::kCeiling, kOneStep);
}

double HeardSound::firstRiseAbove(double level) const {
    for (double from = 0.0; from + kRiseWindowSeconds <= seconds(); from += kRiseWindowSeconds) {
        if (levelDb(from, from + kRiseWindowSeconds) > level) {
            return from;
        }
    }
    return -1.0;
}

HeardSound decodeSoundFile(const std::string& path) {
    const ScopedAudioDriver nowhere("dummy");
    HeardSound sound;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return sound;
    }
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudioDevice(HeardSound::kFramesPerSecond, AUDIO_S16SYS, kChannels, 1024, nullptr,
                            0) == 0) {
        if (Mix_Chunk* const chunk = Mix_LoadWAV(path.c_str())) {
            const auto* const first = reinterpret_cast<const std::int16_t*>(chunk->abuf);
            sound.samples.assign(first, first + chunk->alen / sizeof(std::int16_t));
            Mix_FreeChunk(chunk);
        }
        Mix_CloseAudio();
    }
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return sound;
}

SoundServer::SoundServer()
    : folder_(makePrivateFolder()), address_("PULSE_SERVER", "unix:" + path("native")),
      cookie_("PULSE_COOKIE", path("cookie")) {
    start();
}

bool SoundServer::start() {
    ChildProcess::Launch server = writingInto(
        {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
         "--realtime=no", "--high-priority=no",
         std::string("--load=module-null-sink sink_name=") + kSink,
         "--load=module-native-protocol-unix auth-anonymous=1 socket=" + path("native")},
        path("server.log"), path("server.log"));
    server.environment = {{"XDG_RUNTIME_DIR", folder_},
                          {"HOME", folder_},
                          // Off the session bus, where the desktop's own sound server is found.
                          {"DBUS_SESSION_BUS_ADDRESS", "disabled:"}};
    server_.emplace(server);
    running_ = waitUntil([&] { return answers(); });
    return running_;
}

void SoundServer::stop() {
    stopWith(recorder_, SIGINT);
    stopWith(server_, SIGTERM);
    running_ = false;
}

SoundServer::~SoundServer() {
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool SoundServer::answers() const {
    return std::system(("pactl info >>" + path("server.log") + " 2>&1").c_str()) == 0;
}

std::string SoundServer::log() const {
    std::ifstream in(path("server.log"));
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void SoundServer::startRecording() {
    stopWith(recorder_, SIGINT);
    std::filesystem::remove(path("recording.raw"));
    recorder_.emplace(
        writingInto({"parec", std::string("--device=") + kSink + ".monitor", "--format=s16le",
                     "--rate=44100", "--channels=2", "--latency-msec=20"},
                    path("recording.raw"), path("server.log")));
    // The monitor carries silence when nothing plays: data flowing means recording.
    waitUntil([&] { return sizeOf(path("recording.raw")) > 0; });
}

HeardSound SoundServer::stopRecording() {
    stopWith(recorder_, SIGINT);
    HeardSound heard;
    heard.samples = samplesIn(path("recording.raw"));
    return heard;
}
