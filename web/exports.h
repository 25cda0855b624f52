#pragma once

// What the WebAssembly module offers the page; see main.cpp for each. Places
// and sizes are in CSS pixels unless a name says device pixels.
#include <cstddef>
#include <cstdint>

extern "C" {
std::uint8_t *alloc(std::size_t size);
std::size_t textLength();
void init(double ratio);
void setGlyph(int c, double advance, int left, int top, int width, int height);
void setPlotFont(double lineHeight, double averageCharWidth);
void setHelpFont(double lineHeight, double averageCharWidth);
void load();
void setText(int box, std::size_t length);
void setValue(int c, int value);
void click(int c);
void tick();
void setDevicePixelRatio(double ratio);
int value(int c);
int enabled(int c);
int front();
int timerEnabled();
int timerInterval();
unsigned presented();
const std::uint32_t *pixels();
int deviceWidth();
int deviceHeight();
const char *windowTable();
const char *helpText();
const char *helpLines();
const char *plotDescription();
const char *state();
}
