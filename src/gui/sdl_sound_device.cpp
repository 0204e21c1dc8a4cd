// The SDL audio back end of the looping sound buffer.
#include "sdl_sound_device.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace {

void audioCallback(void* userdata, Uint8* stream, int len) {
    static_cast<SdlSoundDevice*>(userdata)->fill(stream, len);
}

// Locks out the audio callback for the scope.
struct DeviceLock {
    uint32_t dev;
    explicit DeviceLock(uint32_t d) : dev(d) { if (dev) SDL_LockAudioDevice(dev); }
    ~DeviceLock() { if (dev) SDL_UnlockAudioDevice(dev); }
};

}  // namespace

SdlSoundDevice::~SdlSoundDevice() { close(); }

bool SdlSoundDevice::open() {
    close();
    SDL_AudioSpec want{};
    want.freq = 22050;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = 256;  // small pulls keep the three slots of lead intact
    want.callback = audioCallback;
    want.userdata = this;
    // SIGINT and SIGTERM keep ending the program as usual.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        subsystemUp = true;
        device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    }
    if (device == 0) {
        // No usable output device: SDL's dummy driver still consumes samples in real
        // time, so the frame clock keeps following the sound rate.
        if (subsystemUp) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystemUp = false;
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            subsystemUp = true;
            device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
        }
    }
    if (device == 0) {
        close();
        return false;
    }
    return true;
}

void SdlSoundDevice::close() {
    if (device) SDL_CloseAudioDevice(device);
    device = 0;
    if (subsystemUp) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystemUp = false;
    ring.clear();
    playing = false;
    playPosition = 0;
}

bool SdlSoundDevice::createBuffer(uint32_t bytes) {
    if (!device || bytes == 0) return false;
    DeviceLock lock(device);
    ring.assign(bytes, 0);
    playPosition = 0;
    return true;
}

void SdlSoundDevice::releaseBuffer() {
    stop();
    DeviceLock lock(device);
    ring.clear();
    playPosition = 0;
}

bool SdlSoundDevice::write(uint32_t offset, const int16_t* samples, uint32_t bytes) {
    if (ring.empty()) return false;
    DeviceLock lock(device);
    const auto* src = reinterpret_cast<const uint8_t*>(samples);
    size_t size = ring.size();
    offset %= size;
    bytes = static_cast<uint32_t>(std::min<size_t>(bytes, size));
    size_t first = std::min<size_t>(bytes, size - offset);
    std::memcpy(ring.data() + offset, src, first);
    std::memcpy(ring.data(), src + first, bytes - first);
    return true;
}

bool SdlSoundDevice::play() {
    if (ring.empty()) return false;
    {
        DeviceLock lock(device);
        playing = true;
    }
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void SdlSoundDevice::stop() {
    if (!device) return;
    SDL_PauseAudioDevice(device, 1);
    DeviceLock lock(device);
    playing = false;
}

void SdlSoundDevice::silence() {
    DeviceLock lock(device);
    std::fill(ring.begin(), ring.end(), 0);
}

void SdlSoundDevice::resetPosition() {
    DeviceLock lock(device);
    playPosition = 0;
}

bool SdlSoundDevice::isPlaying() {
    DeviceLock lock(device);
    return playing;
}

void SdlSoundDevice::fill(uint8_t* out, int bytes) {
    size_t want = static_cast<size_t>(bytes);
    if (!playing || ring.empty()) {
        std::memset(out, 0, want);
        return;
    }
    size_t size = ring.size();
    size_t done = 0;
    while (done < want) {
        size_t n = std::min(want - done, size - playPosition);
        std::memcpy(out + done, ring.data() + playPosition, n);
        done += n;
        playPosition = static_cast<uint32_t>((playPosition + n) % size);
    }
}
