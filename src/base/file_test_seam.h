#pragma once

// What the writers ask of the test seam (rig::testing in base/file_io.h). Each is a
// no-op answer ("go ahead") unless a test armed it.
namespace rig::detail {

// True, with errno set, when the test seam fails this write of new content.
[[nodiscard]] bool takeInjectedWriteFailure();
// The same for one step of putting a replaced original back.
[[nodiscard]] bool takeInjectedPutBackFailure();
// Runs the hook set for the moment just before a new file is put in place.
void runBeforePublish();
// True while the file system is to behave as one without hard links or a no-replace rename.
[[nodiscard]] bool withoutLinks();

}  // namespace rig::detail
