#pragma once

#include <QStringList>

#include <cstddef>
#include <cstdint>

// The fuzz targets' bodies, also run by the unit tests on every stored reproducer. Each returns
// 0; a finding aborts or trips a sanitizer.
int lumoFuzzReceive(const uint8_t *data, size_t size);
int lumoFuzzPacketTimes(const uint8_t *data, size_t size);
int lumoFuzzHeader(const uint8_t *data, size_t size);
int lumoFuzzRedirectScan(const uint8_t *data, size_t size);
int lumoFuzzCredentials(const uint8_t *data, size_t size);
int lumoFuzzLogLoad(const uint8_t *data, size_t size);
int lumoFuzzFramed(const uint8_t *data, size_t size);

// The task log of the last lumoFuzzReceive run.
QStringList lumoFuzzReceiveLog();
// The task log of the last lumoFuzzFramed run.
QStringList lumoFuzzFramedLog();
