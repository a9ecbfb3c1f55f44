// Image files as the programs open them, and the list of images open in this process.
//
// An image path may name anything: a FIFO, whose open waits for a writer and whose reads wait for
// data; a terminal; a folder. Every image is therefore opened without waiting (O_NONBLOCK),
// checked with fstat, and kept only when it is a regular file or a block device (a real disk,
// which the raw drive reads); only then are reads allowed to wait again.
//
// Every image open for reading or writing is listed by device and inode until it is closed, so
// that a host file about to be written can be refused when it is one of them (another name or a
// hard link of the image counts too).
#pragma once

#include "HostError.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

// Opens path read-only, or read-write when writable, as an image: the descriptor (close-on-exec,
// blocking reads), listed as an open image; or -1 with error set. A path that is neither a
// regular file nor a block device is refused with a message that says what it is.
int OpenImageFile(const std::string& path, bool writable, HostError& error);
// Takes the descriptor off the list and closes it.
void CloseImageFile(int fd);

// The length in bytes of an open image: the file size, or a block device's capacity.
std::int64_t ImageFileLength(int fd);

// Whether the file with this device and inode is an image open in this process.
bool IsOpenImage(dev_t device, ino_t inode);
