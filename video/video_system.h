#pragma once
// The system's one display object (module "KALDRA.VIDEO"): the display device and its modes, the table
// of picture surfaces with the BMP and JPEG loaders, conversion of pictures into the display's pixel
// format, and drawing and presenting. The shell creates it, brings it up with Create, presents once a
// frame and destroys it at shutdown; the nature scenes load, draw and delete pictures through it.
//
// Results follow the project's rule: 0 success; creating and loading operations return 2 on failure,
// per-frame and query operations 1. Every failure is reported through the Report first.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "archive/high_resolution.h"
#include "archive/resource_index.h"
#include "archive/wide_picture.h"
#include "platform/native_window.h"
#include "video/decode_ahead.h"
#include "video/display_layer.h"
#include "video/jpeg_decoder.h"
#include "video/picture_buffer.h"

namespace sylvora {

class Report;
class ReadableFile;
enum class MessageKind : int;

// Surface numbers: 0 to 999 name slots of the surface table.
inline constexpr int kSurfaceCapacity = 1000;
// As the slot argument of a creating operation: take the first free slot.
inline constexpr int SurfaceAnySlot = 10000;
// Names the secondary buffer in ClearSurface, SetTransparentColor and CopyDibToSurface.
inline constexpr int SurfaceSecondary = 10000;
// No surface at all: every operation given it does nothing and returns 0.
inline constexpr int SurfaceNone = 20000;
// As a keyed threshold: the picture is loaded for a surface without a colour key (CreateSurfaceB).
inline constexpr int kNotKeyed = -1;
// The entry argument of the loaders that means a loose file under "graphics\" instead of an archive entry.
inline constexpr int LooseFileEntry = -1000;

// The argument record of Create; the shell passes full screen, 640 x 480 x 16, reserved 1024, archive 1.
struct CreateArgs {
  int fullScreen = 1;      // non-zero: CreateFullScreen; 0: CreateWindowed
  int width = 640;         // secondary buffer size, in pixels
  int height = 480;
  int depth = 16;          // requested bits per pixel; 16, 24 or 32 give pictures
  int reserved = 1024;     // stored only
  int useArchive = 1;      // 1 = pictures from data.nrx; any other value means loose files
  NativeWindow* window = nullptr;
  std::string resourcePath;  // installation directory with a trailing backslash
  int highResolution = 0;    // non-zero: pictures come from their finer twins where the archive has them
};

// One slot of the surface table.
struct SurfaceSlot {
  DisplaySurface* surface = nullptr;  // owned by the slot
  int inVideoMemory = 0;              // Restore reloads exactly these slots
  int requestedVideoMemory = 0;       // the creator's videoMemory argument; recorded only
  int hasColourKey = 0;               // Draw uses the surface's source colour key
  uint32_t colourKey = 0;             // recorded only
  int inUse = 0;
  std::string name;                   // the picture's name, for reloading
  int width = 0;
  int height = 0;
  uint8_t blackThreshold = 0;         // used again when the picture is reloaded
  int pictureScale = 1;               // 1, or 3 for a twin: a reload must bring pixels of the same size
};

// The fixed table of picture surfaces. slotCount never decreases: slots below it are in use or free again.
struct SurfaceTable {
  std::array<SurfaceSlot, kSurfaceCapacity> slots;
  int slotCount = 0;
};

// The display's pixel format, from the primary's bit masks.
struct PixelFormat {
  uint16_t redShift = 0;
  uint16_t greenShift = 0;
  uint16_t blueShift = 0;
  uint16_t redBits = 0;
  uint16_t greenBits = 0;
  uint16_t blueBits = 0;
};

class VideoSystem {
 public:
  // The largest picture side the loaders accept; bigger headers are refused as broken files.
  static constexpr int kMaxPictureSide = 16384;
  // The most pixels one picture may have: our largest picture, a layer as tall as the frame painted
  // wide (archive/wide_picture.h) at the finest twins' scale, 5600 x 2400. A header claiming more is
  // refused before anything is allocated for it, so a small file cannot make the loader take hundreds
  // of megabytes.
  static constexpr int kTallestLayerRows = 480;
  static constexpr int64_t kMaxPicturePixels =
      int64_t{kWideLayerWidth * kFinestPictureScale} * (kTallestLayerRows * kFinestPictureScale);
  // The most bytes a picture's file or entry may hold: the largest uncompressed picture the budget allows,
  // rows padded, with room for its headers. A compressed picture of the budget's size is far smaller. A
  // longer file or entry is refused before anything is allocated or read for it, so a huge (or sparse)
  // file behind a small header cannot make the loader take its whole length.
  static constexpr uint64_t kMaxPictureFileBytes = kMaxPicturePixels * 3 + kMaxPictureSide * 3 + 65536;

  // report is kept, never freed. display and jpeg are the platform adapters (SDL2 and TurboJPEG in the
  // program, doubles in tests). Calls EnableSafeBlitting.
  VideoSystem(Report* report, std::unique_ptr<DisplayLayer> display, std::unique_ptr<JpegDecoder> jpeg);
  // Restores the desktop mode after full screen and releases every surface and the device.
  ~VideoSystem();
  VideoSystem(const VideoSystem&) = delete;
  VideoSystem& operator=(const VideoSystem&) = delete;

  // ---- Display device and modes (called by the shell at start-up and on activation changes) ----

  // Opens the device, sets up full screen or windowed display and, in archive mode, reads data.nrx. 0 or 2.
  int Create(const CreateArgs& args);
  // Exclusive full screen: the desktop resolution at depth first, else width x height x depth. 0 or 2.
  int CreateFullScreen(int width, int height, int depth);
  // Window-bound display in the desktop's format. 0 or 2.
  int CreateWindowed(int width, int height);
  // The display mode in use; the shell sizes its window from it.
  void QueryDisplayMode(int& width, int& height, int& depth) const;
  // Shifts and bit counts from the primary's masks. 0 or 2.
  int StorePixelFormat();
  // Driver name and description (" " when unknown). 0 or 1.
  int GetVideoDesc();
  // Off-screen display memory in KB, byte counts above 64 MB - 1 reported as 65535. 0 or 1.
  int GetVideoMemory(int& total, int& free);
  // Keeps the display's gamma ramp as found.
  void StoreGamma();
  // Brightness: steps of +-50 on every ramp entry, always from the stored ramp; 0 puts it back.
  void SetGamma(int steps);
  // Turns on clipping in Draw; called once by the constructor.
  void EnableSafeBlitting();
  // Activation lost / regained: while suspended, Present and Restore do nothing.
  void Suspend();
  void Resume();
  // Brings lost surfaces back and reloads the video-memory pictures. 0 when nothing was lost or while
  // suspended; 1 when restoration was attempted.
  int Restore();

  // ---- Surfaces and picture loading (called by the nature scenes) ----

  // Loads a picture drawn with a transparent colour: JPEG near-blacks below blackThreshold become black,
  // the surface gets colourKey. handle is SurfaceNone until success. 0 or 2.
  int CreateSurfaceA(const std::string& name, int videoMemory, uint32_t colourKey, int& handle, int slot,
                     uint8_t blackThreshold);
  // Loads an opaque picture (no threshold, no colour key). 0 or 2.
  int CreateSurfaceB(const std::string& name, int videoMemory, int& handle, int slot);
  // Takes a slot (the first free one for SurfaceAnySlot) and creates its surface. 0 or 2.
  int CreateOffScreenSurface(int width, int height, int videoMemory, int& handle, std::string& placement,
                             int slot);
  // Decodes the named picture into the picture buffer, from data.nrx or loose files; a JPEG for a
  // surface keyed at keyedThreshold (kNotKeyed for none) has its near-blacks made black, at the limit
  // BlackLimit gives for the scale loaded. 0 or 2.
  int LoadGraphics(const std::string& name, PictureKind& kind, int keyedThreshold = kNotKeyed);
  // LoadGraphics's steps: the named picture's twin at scale (found says whether it exists), and a
  // picture from the archive entry or loose file called entryName, reported under name; a JPEG is
  // blackened below blackLimit. 0 or 2.
  int LoadTwin(const std::string& name, int scale, int blackLimit, PictureKind& kind, bool& found);
  // The size the picture called name declares in its header, read without decoding it; false when
  // it cannot be read. A twin must be exactly three times that size.
  bool DeclaredSize(const std::string& name, int& width, int& height);
  int LoadArchivedPicture(const std::string& entryName, const std::string& name, int blackLimit, PictureKind& kind);
  int LoadLoosePicture(const std::string& file, const std::string& name, int blackLimit, PictureKind& kind);
  // Loads a picture of kind from the archive entry or the loose file (see the loaders below); on failure
  // reports that the jpg or bmp graph object or file (source) was not loaded. 0 or 2.
  int LoadPictureOfKind(PictureKind kind, const std::string& file, int entry, const char* source,
                        const std::string& name, int blackLimit);
  // Loaders for one archive entry (name empty) or a loose file (entry LooseFileEntry); the JPEG loader
  // makes the picture's near-blacks below blackLimit black (ApplyBlackThreshold). 0 or 2.
  int LoadGraphicsFromBmp(const std::string& name, int entry);
  int LoadGraphicsFromJpg(const std::string& name, int entry, int blackLimit = 0);
  // Loads the named picture again into an existing slot's surface. 0 or 2.
  int ReloadSurface(const std::string& name, int slot);
  // Frees a slot for reuse. 0, or 1 for an invalid number.
  int DeleteSurface(int number);
  // 1 for SurfaceSecondary or a slot below slotCount that is in use; otherwise 0.
  int IsValidSurface(int number) const;

  // ---- Pixel conversion (called by the creating operations, once per picture) ----

  // Turns pixels of the held picture whose blue + green + red is below threshold & 0xFF black. 0.
  int ApplyBlackThreshold(int threshold);
  // The limit a JPEG loaded at scale for a surface keyed at keyedThreshold is blackened below: none
  // for kNotKeyed; a twin keyed on exact black is keyed at the threshold the generator paints its
  // subjects clear of, since compression leaves the key's pixels only near black.
  static int BlackLimit(int keyedThreshold, int scale);
  // Writes a 24-bit bottom-up picture into a surface in the display's format. 0 or 2.
  int CopyDibToSurface(int number, const uint8_t* pixels, int width, int height);
  int CopyDib24ToSurface16(int number, const uint8_t* pixels, int width, int height);
  int CopyDib24ToSurface24(int number, const uint8_t* pixels, int width, int height);
  int CopyDib24ToSurface32(int number, const uint8_t* pixels, int width, int height);

  // ---- Drawing and presenting (called every frame) ----

  // Draws source of slot number at (x, y) of the secondary buffer, with the slot's colour key and clipped
  // to the buffer. 0 drawn (or SurfaceNone); 1 not drawn.
  int Draw(const SurfaceRect& source, int number, int x, int y);
  // Draw, moved by shift on a display that draws between frame pixels: how a moving creature or the
  // sky keeps its fractional position. The clipping and the reports are Draw's, in whole frame pixels.
  int Draw(const SurfaceRect& source, int number, int x, int y, const SubPixelShift& shift);
  // Whether the display shows a Draw's shift; the sky then draws one column more at the right edge.
  bool DrawsSubPixels() const { return display_->DrawsSubPixels(); }
  // Whether the display fits the frame to its output's shape (DisplayLayer::FitsFrameToOutput): the
  // scenes then show their wide paintings.
  bool FitsFrameToOutput() const { return display_->FitsFrameToOutput(); }
  // Gives a slot or the secondary buffer a source colour key. 0 or 1.
  int SetTransparentColor(int number, uint32_t key);
  // Fills a slot or the secondary buffer with black. 0 or 1.
  int ClearSurface(int number);
  // Shows the secondary buffer: stretched over the display in full screen, at the window in windowed mode.
  void Present();
  // Cuts rect to the picture and the buffer. 0 when something remains (rect updated); 1 when nothing
  // remains (rect unchanged). The destination point is never moved.
  static int ClipToSecondary(SurfaceRect& rect, int pictureWidth, int pictureHeight, int x, int y,
                             int bufferWidth, int bufferHeight);

  // ---- The picture entries of data.nrx ----

  // Reads the picture entries of resourcePath + "data.nrx". 0 or 2.
  int LoadResHeader();
  // 0 with index set when name is an entry; 1 with index 0 when not.
  int FindGraphicEntry(const std::string& name, int& index) const;
  // Whether LoadGraphics would find the named picture, in the archive or as a loose file; asks without a
  // word. The scenes look for their wide paintings with it.
  bool HasPicture(const std::string& name);
  // The scenes name the pictures they are about to load, in the order they will: the JPEGs among them
  // are read from the archive and decoded on a worker meanwhile (DecodeAhead), without a word; what an
  // earlier call decoded and no load took is dropped. Called before the creatures' sheets and each
  // scene's pictures are loaded; keyedThresholds holds each one's CreateSurfaceA threshold, or kNotKeyed
  // for one CreateSurfaceB loads.
  void ExpectPictures(std::span<const std::string> names, std::span<const int> keyedThresholds);
  // Whether the named picture, expected by ExpectPictures, is still being decoded: its load would wait
  // for the worker. The scene manager loads a coming scene's pictures only once they are not.
  bool PictureWaiting(const std::string& name);

  // ---- Read access for the shell and for tests ----
  const SurfaceTable& Surfaces() const { return surfaces_; }
  const PictureBuffer& Picture() const { return picture_; }
  const PixelFormat& Format() const { return pixelFormat_; }
  const ArchiveTable& GraphicEntries() const { return *graphicEntries_; }
  const GammaRamp& StoredGamma() const { return storedGamma_; }
  DisplaySurface* Secondary() const { return secondary_; }
  DisplaySurface* Primary() const { return primary_; }
  int IsFullScreen() const { return fullScreen_; }
  int IsSuspended() const { return suspended_; }
  int ArchiveMode() const { return archiveMode_; }
  int GammaAvailable() const { return gammaAvailable_; }
  int SafeBlitting() const { return safeBlitting_; }
  int ConversionDepth() const { return conversionDepth_; }
  int Reserved() const { return reserved_; }
  int SecondaryWidth() const { return secondaryWidth_; }
  // The scene column the secondary buffer's first column shows: 0 where it is as wide as the scene asked
  // for, negative where the display fits it to a wider output (FitsFrameToOutput), positive to a narrower.
  int FieldLeft() const { return fieldLeft_; }
  // The scale of the finest twins pictures are loaded from (kFinestPictureScale or
  // kHighResolutionScale); 0 where the pictures themselves are.
  int TwinScale() const { return highResolution_; }
  int SecondaryHeight() const { return secondaryHeight_; }
  int VideoMemoryTotalKb() const { return videoMemoryTotalKb_; }
  int VideoMemoryFreeKb() const { return videoMemoryFreeKb_; }
  const std::string& DriverName() const { return driverName_; }
  const std::string& DriverDescription() const { return driverDescription_; }

 private:
  // Creates the secondary buffer, video memory first; reports under function on failure. 0 or 2.
  int CreateSecondary(int width, int height, const char* function);
  // Opens a picture's bytes: the loose file graphics\name + extension, or an archive entry's file moved to
  // its offset. byteCount is the file's or entry's length; rangeFits is false when the entry runs past
  // the end of its file. Reports a missing file under function; nullptr then.
  std::unique_ptr<ReadableFile> OpenPicture(const std::string& name, int entry, const char* extension,
                                            const char* function, uint64_t& byteCount, bool& rangeFits);
  // The frame shared by the three converters: lock, write every pixel with PixelValue, unlock. 0 or 2.
  // A template, so each converter's inner loop is compiled whole: a picture three times the frame's
  // size has millions of pixels.
  template <int BytesPerPixel, uint32_t (*PixelValue)(const uint8_t*, const PixelFormat&)>
  int CopyDibWith(int number, const uint8_t* pixels, int width, int height, const char* function);
  // Frees the held picture (and ends the JPEG decode for a JPEG).
  void ReleasePicture();
  // The archive entry LoadGraphics opens first for the named picture: its finest twin the display
  // shows (scale says which), else its own (scale 1); -1 when it has none.
  int FirstEntryLoaded(const std::string& name, int& scale) const;
  // Reads the archive entry's bytes and hands them to DecodeAhead, to be blackened below blackLimit,
  // when it is a JPEG of sensible length.
  void DecodeEntryAhead(int entry, int blackLimit);
  // How the display wants a JPEG's pixels: whole, as its surfaces keep them, or as rows to convert.
  PixelRows JpegRows() const;
  // Puts the held picture into surface number: its rows converted (CopyDibToSurface), or its pixels
  // handed to the display whole where they are already as it keeps them. 0 or 2.
  int PlaceHeldPicture(int number);
  // The slot's surface, or the secondary buffer for SurfaceSecondary.
  DisplaySurface* SurfaceOf(int number) const;
  // Waits while an earlier blit on surface is still drawing.
  void WaitForBlit(DisplaySurface* surface);
  // Releases the gamma control and switches gamma off.
  void DropGammaControl();
  // Releases the device objects (not the slots), in the order gamma, secondary, clipper, primary, device.
  void ReleaseDeviceObjects();
  // Reports "surface N<number> is invalid" with kind under function.
  void ReportInvalidSurface(MessageKind kind, const char* function, int number);
  // Draw's Warning for a rectangle that was clipped away or a blit that failed.
  void ReportFailedBlit(int number, const SurfaceRect& rect, int x, int y);
  // Tells which renderer shows the frames, when the display layer says (after the primary is made).
  void ReportPresenter(const char* function);
  // Adds a message under module "KALDRA.VIDEO".
  void Say(int always, MessageKind kind, const char* function, const std::string& text);

  Report* report_;
  std::unique_ptr<DisplayLayer> display_;
  std::unique_ptr<JpegDecoder> jpeg_;
  std::unique_ptr<DecodeAhead> decodeAhead_;  // after jpeg_, whose faults a test double's worker decoder shares
  NativeWindow* window_ = nullptr;
  std::string resourcePath_;
  bool deviceOpen_ = false;
  DisplaySurface* primary_ = nullptr;
  DisplaySurface* secondary_ = nullptr;
  bool clipper_ = false;
  bool gammaControl_ = false;
  int suspended_ = 0;
  int reserved_ = 0;
  SurfaceTable surfaces_;
  int archiveMode_ = 0;
  int highResolution_ = 0;  // the finest twins' scale the display shows; 0: the pictures themselves
  std::unique_ptr<ArchiveTable> graphicEntries_;
  PictureBuffer picture_;
  int safeBlitting_ = 0;
  GammaRamp storedGamma_;
  int gammaAvailable_ = 0;
  int videoMemoryTotalKb_ = 0;
  int videoMemoryFreeKb_ = 0;
  std::string driverName_;
  std::string driverDescription_;
  int fullScreen_ = 0;
  int conversionDepth_ = 0;
  int secondaryWidth_ = 0;
  int secondaryHeight_ = 0;
  // Set with the secondary buffer (CreateSecondary): its columns, and the first scene column they show.
  int frameColumns_ = 0;
  int fieldLeft_ = 0;
  PixelFormat pixelFormat_;
  int displayWidth_ = 0;
  int displayHeight_ = 0;
  int displayDepth_ = 0;
};

}  // namespace sylvora
