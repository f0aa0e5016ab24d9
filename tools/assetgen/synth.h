// Small synthesiser for the sound effects and the music: oscillators,
// envelopes, filters and 16-bit PCM WAV output. Mono buffers at 44.1 kHz.
#pragma once

#include <cstdint>
#include <vector>

#include "raster.h"

namespace assetgen {

constexpr int kSampleRate = 44100;
using Buffer = std::vector<float>;

inline size_t Samples(float seconds) { return size_t(seconds * float(kSampleRate)); }
// Adds src into dst starting at sample `at`, growing dst when needed.
void MixInto(Buffer& dst, const Buffer& src, size_t at, float gain);
// Scales to the given peak, then fades the first and last milliseconds so
// the sound starts and ends at silence.
void Finish(Buffer& buf, float peak, float fadeInMs = 3, float fadeOutMs = 15);
// One-pole low-pass and high-pass filters, cutoff in Hz.
void LowPass(Buffer& buf, float cutoff);
void HighPass(Buffer& buf, float cutoff);
// A decaying tone made of partials (ratio, gain) of a fundamental in Hz.
Buffer Tone(float freq, float seconds, float attack, float decay,
            const std::vector<std::pair<float, float>>& partials, float glide = 0);
// White noise with an attack/decay envelope.
Buffer Noise(float seconds, float attack, float decay, Rng& rng);
// Simple feedback echo (delay in seconds) for a sense of space.
void Echo(Buffer& buf, float delay, float feedback, float mix);
// 16-bit mono PCM WAV bytes.
std::vector<uint8_t> EncodeWav(const Buffer& buf);
float MidiToHz(float note);

}  // namespace assetgen
