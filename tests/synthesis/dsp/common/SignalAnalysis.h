#pragma once

// Measurements on rendered audio for the DSP tests and benchmarks: levels, pitch, spectra.
#include <cmath>
#include <complex>
#include <cstddef>
#include <vector>

namespace DspTest {

constexpr double kPi = 3.14159265358979323846;

inline double rms(const float* x, std::size_t n)
{
    double s = 0.0;
    for (std::size_t i = 0; i < n; ++i)
        s += double(x[i]) * x[i];
    return n ? std::sqrt(s / double(n)) : 0.0;
}
inline double rms(const std::vector<float>& x) { return rms(x.data(), x.size()); }

inline double peak(const float* x, std::size_t n)
{
    double p = 0.0;
    for (std::size_t i = 0; i < n; ++i)
        p = std::fmax(p, std::fabs(double(x[i])));
    return p;
}
inline double peak(const std::vector<float>& x) { return peak(x.data(), x.size()); }

// True when every sample is finite and none is denormal.
inline bool allClean(const float* x, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        const int c = std::fpclassify(x[i]);
        if (c == FP_NAN || c == FP_INFINITE || c == FP_SUBNORMAL)
            return false;
    }
    return true;
}
inline bool allClean(const std::vector<float>& x) { return allClean(x.data(), x.size()); }

// Frequency from the mean distance between rising zero crossings (interpolated), skipping `skip` samples.
inline double zeroCrossingFrequency(const std::vector<float>& x, double sampleRate, std::size_t skip = 0)
{
    double first = -1.0, last = -1.0;
    int count = 0;
    for (std::size_t i = skip + 1; i < x.size(); ++i) {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
            const double t = double(i - 1) + double(-x[i - 1]) / double(x[i] - x[i - 1]);
            if (first < 0.0)
                first = t;
            else
                ++count;
            last = t;
        }
    }
    return count > 0 ? sampleRate * count / (last - first) : 0.0;
}

// Amplitude of the component at `frequency` (Hann-windowed Goertzel; a sine of amplitude A reads A).
inline double amplitudeAt(const float* x, std::size_t n, double frequency, double sampleRate)
{
    const double w = 2.0 * kPi * frequency / sampleRate;
    std::complex<double> acc = 0.0;
    double windowSum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double h = 0.5 - 0.5 * std::cos(2.0 * kPi * double(i) / double(n));
        windowSum += h;
        acc += h * double(x[i]) * std::polar(1.0, -w * double(i));
    }
    return 2.0 * std::abs(acc) / windowSum;
}
inline double amplitudeAt(const std::vector<float>& x, double frequency, double sampleRate)
{
    return amplitudeAt(x.data(), x.size(), frequency, sampleRate);
}

// In-place radix-2 FFT; the size must be a power of two.
inline void fft(std::vector<std::complex<double>>& a)
{
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> wl = std::polar(1.0, -2.0 * kPi / double(len));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w = 1.0;
            for (std::size_t k = 0; k < len / 2; ++k) {
                const auto u = a[i + k];
                const auto v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= wl;
            }
        }
    }
}

// Power spectrum of a Blackman-Harris windowed block (size a power of two); bins 0..n/2.
inline std::vector<double> powerSpectrum(const float* x, std::size_t n)
{
    std::vector<std::complex<double>> a(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = 2.0 * kPi * double(i) / double(n);
        const double w = 0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
        a[i] = w * double(x[i]);
    }
    fft(a);
    std::vector<double> p(n / 2 + 1);
    for (std::size_t k = 0; k < p.size(); ++k)
        p[k] = std::norm(a[k]);
    return p;
}

// Frequency of the strongest bin (parabolic interpolation between bins), DC excluded.
inline double peakFrequency(const std::vector<float>& x, double sampleRate)
{
    std::size_t n = 1;
    while (n * 2 <= x.size())
        n *= 2;
    const auto p = powerSpectrum(x.data() + (x.size() - n), n);
    std::size_t best = 2;
    for (std::size_t k = 2; k + 1 < p.size(); ++k)
        if (p[k] > p[best])
            best = k;
    const double l = std::log(p[best - 1] + 1e-300), c = std::log(p[best] + 1e-300), r = std::log(p[best + 1] + 1e-300);
    const double delta = 0.5 * (l - r) / (l - 2 * c + r);
    return (double(best) + delta) * sampleRate / double(n);
}

// The share of the signal's power that lies away from the harmonics of f0 (and away from DC): for a
// periodic wave this is what aliasing and interpolation put into the spectrum. Returned in dB.
inline double aliasedEnergyDb(const float* x, std::size_t n, double f0, double sampleRate)
{
    const auto p = powerSpectrum(x, n);
    const double binHz = sampleRate / double(n);
    constexpr double kHalfWidth = 5.0; // bins around each harmonic that belong to it (window main lobe)
    double total = 0.0, off = 0.0;
    for (std::size_t k = 0; k < p.size(); ++k) {
        const double f = double(k) * binHz;
        total += p[k];
        const double h = std::round(f / f0);
        const double distance = std::fabs(f - h * f0) / binHz;
        if (h >= 1.0 && distance > kHalfWidth)
            off += p[k];
        else if (h < 1.0 && f / binHz > kHalfWidth && std::fabs(f - f0) / binHz > kHalfWidth)
            off += p[k];
    }
    return 10.0 * std::log10(off / total + 1e-30);
}
inline double aliasedEnergyDb(const std::vector<float>& x, double f0, double sampleRate)
{
    std::size_t n = 1;
    while (n * 2 <= x.size())
        n *= 2;
    return aliasedEnergyDb(x.data() + (x.size() - n), n, f0, sampleRate);
}

} // namespace DspTest
