#include "sound_server.h"

#include "polling.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr double kFullScale = 32768.0;
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

struct Variable {
    const char* name;
    std::string value;
};

void writeInto(int descriptor, const std::string& file) {
    const int opened = open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    dup2(opened, descriptor);
    close(opened);
}

// Starts `arguments` writing into `output` and `errors`, with `variables` set
// for it alone.
pid_t spawn(const std::vector<std::string>& arguments, const std::string& output,
            const std::string& errors, const std::vector<Variable>& variables) {
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive a killed test
    writeInto(STDOUT_FILENO, output);
    writeInto(STDERR_FILENO, errors);
    for (const Variable& variable : variables) {
        setenv(variable.name, variable.value.c_str(), 1);
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

void stop(pid_t& pid, int signal) {
    if (pid > 0) {
        kill(pid, signal);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
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
    server_ =
        spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
               "--realtime=no", "--high-priority=no",
               std::string("--load=module-null-sink sink_name=") + kSink,
               "--load=module-native-protocol-unix auth-anonymous=1 socket=" + path("native")},
              path("server.log"), path("server.log"),
              {{"XDG_RUNTIME_DIR", folder_},
               {"HOME", folder_},
               // Off the session bus, where the desktop's own sound server is found.
               {"DBUS_SESSION_BUS_ADDRESS", "disabled:"}});
    running_ = waitUntil([&] { return answers(); });
}

SoundServer::~SoundServer() {
    stop(recorder_, SIGINT);
    stop(server_, SIGTERM);
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
    stop(recorder_, SIGINT);
    std::filesystem::remove(path("recording.raw"));
    recorder_ = spawn({"parec", std::string("--device=") + kSink + ".monitor", "--format=s16le",
                       "--rate=44100", "--channels=2", "--latency-msec=20"},
                      path("recording.raw"), path("server.log"), {});
    // The monitor carries silence when nothing plays: data flowing means recording.
    waitUntil([&] { return sizeOf(path("recording.raw")) > 0; });
}

HeardSound SoundServer::stopRecording() {
    stop(recorder_, SIGINT);
    HeardSound heard;
    heard.samples = samplesIn(path("recording.raw"));
    return heard;
}
