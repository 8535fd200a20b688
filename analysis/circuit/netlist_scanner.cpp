#include "netlist_scanner.h"

#include <cerrno>
#include <cstring>

namespace corvane {

namespace {

bool isBlank(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isWhiteSpace(int c) {
    return c == '\n' || isBlank(c);
}

// Only the start of a line is ever shown, so a few hundred bytes of it are enough.
constexpr std::size_t KeptLineLength = 256;
constexpr std::size_t ShownLength = 60;

}  // namespace

int NetlistScanner::peek() {
    if (!havePeeked_) {
        errno = 0;
        next_ = std::getc(file_);
        if (next_ == EOF && std::ferror(file_) && readError_ == 0) {
            readError_ = errno != 0 ? errno : EIO;
        }
        havePeeked_ = true;
    }
    return next_;
}

void NetlistScanner::advance() {
    const int c = peek();
    if (c == EOF) return;
    havePeeked_ = false;
    if (c == '\n') {
        if (markedLine_ == line_) markedText_ = currentLine_;
        currentLine_.clear();
        ++line_;
    } else if (currentLine_.size() < KeptLineLength) {
        currentLine_.push_back(static_cast<char>(c));
    }
}

bool NetlistScanner::nextField(std::string& field) {
    field.clear();
    truncated_ = false;
    while (isWhiteSpace(peek()))
        advance();
    if (peek() == EOF) return false;
    for (int c = peek(); c != EOF && !isWhiteSpace(c); c = peek()) {
        if (field.size() < MaxFieldLength) {
            field.push_back(static_cast<char>(c));
        } else {
            truncated_ = true;
        }
        advance();
    }
    return true;
}

void NetlistScanner::skipRestOfLine() {
    while (peek() != EOF && peek() != '\n')
        advance();
}

std::string NetlistScanner::takeRun(const char* set) {
    std::string run;
    for (int c = peek(); c != EOF && c != '\0' && std::strchr(set, c) != nullptr; c = peek()) {
        if (run.size() < MaxFieldLength) run.push_back(static_cast<char>(c));
        advance();
    }
    return run;
}

bool NetlistScanner::atEndOfLine() {
    while (isBlank(peek()))
        advance();
    return peek() == '\n' || peek() == EOF;
}

void NetlistScanner::markLine() {
    markedLine_ = line_;
    markedText_.clear();
}

std::string NetlistScanner::markedLineText() {
    if (markedLine_ == line_) {
        skipRestOfLine();
        markedText_ = currentLine_;
    }
    std::string text = markedText_;
    while (!text.empty() && isBlank(static_cast<unsigned char>(text.back())))
        text.pop_back();
    return shownText(text);
}

std::string shownText(const std::string& text) {
    if (text.size() <= ShownLength) return text;
    std::size_t cut = ShownLength;
    // Never cut a UTF-8 character in two.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut) + "...";
}

}  // namespace corvane
