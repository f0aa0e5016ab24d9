#include "synth.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {
constexpr float kTwoPi = 6.2831853f;
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(tag[i]));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, uint16_t(v));
  Put16(out, uint16_t(v >> 16));
}
}  // namespace

float MidiToHz(float note) { return 440.0f * std::pow(2.0f, (note - 69) / 12); }

void MixInto(Buffer& dst, const Buffer& src, size_t at, float gain) {
  if (dst.size() < at + src.size()) dst.resize(at + src.size(), 0);
  for (size_t i = 0; i < src.size(); ++i) dst[at + i] += src[i] * gain;
}

void Finish(Buffer& buf, float peak, float fadeInMs, float fadeOutMs) {
  float maxAbs = 0;
  for (float s : buf) maxAbs = std::max(maxAbs, std::fabs(s));
  if (maxAbs > 0)
    for (float& s : buf) s *= peak / maxAbs;
  const size_t in = std::min(buf.size(), Samples(fadeInMs / 1000));
  const size_t out = std::min(buf.size(), Samples(fadeOutMs / 1000));
  for (size_t i = 0; i < in; ++i) buf[i] *= float(i) / float(in);
  for (size_t i = 0; i < out; ++i) buf[buf.size() - 1 - i] *= float(i) / float(out);
}

void LowPass(Buffer& buf, float cutoff) {
  const float a = 1 - std::exp(-kTwoPi * cutoff / float(kSampleRate));
  float y = 0;
  for (float& s : buf) s = y += a * (s - y);
}

void HighPass(Buffer& buf, float cutoff) {
  const float a = 1 - std::exp(-kTwoPi * cutoff / float(kSampleRate));
  float low = 0;
  for (float& s : buf) {
    low += a * (s - low);
    s -= low;
  }
}

Buffer Tone(float freq, float seconds, float attack, float decay,
            const std::vector<std::pair<float, float>>& partials, float glide) {
  Buffer out(Samples(seconds));
  std::vector<float> phase(partials.size(), 0);
  for (size_t i = 0; i < out.size(); ++i) {
    const float t = float(i) / float(kSampleRate);
    const float env = std::min(1.0f, t / std::max(1e-4f, attack)) * std::exp(-t / std::max(1e-4f, decay));
    const float f = freq * std::pow(2.0f, glide * t);
    float s = 0;
    for (size_t k = 0; k < partials.size(); ++k) {
      phase[k] += kTwoPi * f * partials[k].first / float(kSampleRate);
      if (phase[k] > kTwoPi) phase[k] -= kTwoPi;
      // Higher partials die away faster, as in struck material.
      s += std::sin(phase[k]) * partials[k].second * std::exp(-t * partials[k].first * 0.6f / std::max(0.05f, decay * 4));
    }
    out[i] = s * env;
  }
  return out;
}

Buffer Noise(float seconds, float attack, float decay, Rng& rng) {
  Buffer out(Samples(seconds));
  for (size_t i = 0; i < out.size(); ++i) {
    const float t = float(i) / float(kSampleRate);
    const float env = std::min(1.0f, t / std::max(1e-4f, attack)) * std::exp(-t / std::max(1e-4f, decay));
    out[i] = (rng.Uniform() * 2 - 1) * env;
  }
  return out;
}

void Echo(Buffer& buf, float delay, float feedback, float mix) {
  const size_t d = Samples(delay);
  if (d == 0) return;
  Buffer wet(buf.size(), 0);
  for (size_t i = d; i < buf.size(); ++i) wet[i] = (buf[i - d] + wet[i - d]) * feedback;
  for (size_t i = 0; i < buf.size(); ++i) buf[i] += wet[i] * mix;
}

std::vector<uint8_t> EncodeWav(const Buffer& buf) {
  std::vector<uint8_t> out;
  const uint32_t dataBytes = uint32_t(buf.size() * 2);
  PutTag(out, "RIFF");
  Put32(out, 36 + dataBytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, kSampleRate);
  Put32(out, kSampleRate * 2);
  Put16(out, 2);
  Put16(out, 16);
  PutTag(out, "data");
  Put32(out, dataBytes);
  for (float s : buf) Put16(out, uint16_t(int16_t(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767))));
  return out;
}

}  // namespace assetgen
