// The shape every explorer's session has: an image is opened by path through the one opener
// (disk/ImageOpener.h, which carries the user's choices of container and partition offset), or
// something already opened is attached (a container, or sectors from memory in tests); it is
// closed; and whether one is open can be asked. Reports go to the display sink passed with each
// call, message boxes to the session's prompts. The window shell and the command lines open
// images only through this.
#pragma once

#include <memory>
#include <string>

class DisplaySink;
class ImageOpener;
class OpenedImage;

enum class OpenOutcome {
    Opened,  // the file system is explored
    Refused, // the image was read but holds no volume of this file system (the report says why)
    Failed   // the image could not be opened (a message box said why)
};

class ExplorerSession {
  public:
    virtual ~ExplorerSession() = default;
    // Closes what is open, opens path through opener and attaches it.
    virtual OpenOutcome Open(const std::string& path, const ImageOpener& opener,
                             DisplaySink& sink) = 0;
    // Closes what is open and explores image.
    virtual OpenOutcome Attach(std::unique_ptr<OpenedImage> image, DisplaySink& sink) = 0;
    virtual void Close() = 0;
    // An image is open (after Refused, Kestrel and Tamarin keep it open for its volume report;
    // Osprey closes it).
    virtual bool IsOpen() const = 0;
};
