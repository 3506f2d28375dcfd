#ifndef PINBALL_TEST_FILES_H
#define PINBALL_TEST_FILES_H

#include <stddef.h>

#include <string>

// Creates or replaces the file with exactly these bytes; false when it could not be written whole.
bool writeWholeFile(const std::string &path, const void *data, size_t size);

// The Wine path (drive Z:) of an absolute Unix path.
std::string windowsPathOf(const std::string &unixPath);

#endif
