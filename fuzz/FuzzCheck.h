#pragma once

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

// What every fuzz target here shares: the input as bytes, and a failed property ending the run
// as a crash does, so that libFuzzer keeps the input that broke it.

// The input without a copy: the code under test reads libFuzzer's own buffer, which ends exactly
// where the input ends, so that a read past the text is caught by AddressSanitizer.
inline QByteArray fuzzInput(const uint8_t* data, size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Ends the run when `fault` says what went wrong.
inline void failOn(const QString& fault, const QByteArray& input) {
    if (fault.isEmpty()) {
        return;
    }
    std::fprintf(stderr, "Property failed: %s\nInput: %s\n", qPrintable(fault), input.toHex(' ').constData());
    std::abort();
}

// A copy of `text` in a buffer of exactly its size, with no terminating zero after it: the string
// types keep spare room at the end, where a read past the text would go unnoticed.
class ExactText {
public:
    explicit ExactText(const QString& text)
        : m_characters(std::make_unique<QChar[]>(static_cast<size_t>(text.size()))) {
        std::copy(text.begin(), text.end(), m_characters.get());
        m_text = QString::fromRawData(m_characters.get(), text.size());
    }
    const QString& text() const { return m_text; }

private:
    std::unique_ptr<QChar[]> m_characters;
    QString m_text;
};
