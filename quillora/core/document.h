// TPDFDocument: produces one PDF file at a time. It owns the pages, fonts,
// images and actions of the document, hands out object numbers, and offers
// the writing primitives through which every writer puts objects into the
// file.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "quillora/core/doc_info.h"
#include "quillora/core/emf_options.h"
#include "quillora/core/output.h"
#include "quillora/core/security.h"
#include "quillora/core/types.h"

namespace quillora {

class TPDFPage;
class TPDFPages;
class TPDFFonts;
class TPDFImages;
class TPDFAction;
class TPDFActions;
class TPDFOutlines;
class TPDFAcroForm;
class TRadioGroups;
class TPDFJSFList;
class TNamedDestinations;
class TEmbeddedFiles;
class TMetafileCanvas;
class TGraphic;

class TPDFDocument {
 public:
  TPDFDocument();
  // A document destroyed while generating removes its temporary output.
  ~TPDFDocument();
  TPDFDocument(const TPDFDocument&) = delete;
  TPDFDocument& operator=(const TPDFDocument&) = delete;

  // --- published properties -------------------------------------------
  bool AutoLaunch() const { return FAutoLaunch; }
  void SetAutoLaunch(bool v) { FAutoLaunch = v; }
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& v);
  TCompressionType Compression() const { return FCompression; }
  void SetCompression(TCompressionType v) { FCompression = v; }
  TPDFDocInfo& DocumentInfo() { return FDocumentInfo; }
  const TPDFDocInfo& DocumentInfo() const { return FDocumentInfo; }
  void SetDocumentInfo(const TPDFDocInfo& v) { FDocumentInfo.Assign(v); }
  TPageLayout PageLayout() const { return FPageLayout; }
  void SetPageLayout(TPageLayout v) { FPageLayout = v; }
  TPageMode PageMode() const { return FPageMode; }
  void SetPageMode(TPageMode v) { FPageMode = v; }
  bool ProtectionEnabled() const { return FProtectionEnabled; }
  void SetProtectionEnabled(bool v);
  TPDFCtiptoOptions ProtectionOptions() const { return FProtectionOptions; }
  void SetProtectionOptions(TPDFCtiptoOptions v);
  const std::string& OwnerPassword() const { return FOwnerPassword; }
  void SetOwnerPassword(const std::string& v);
  const std::string& UserPassword() const { return FUserPassword; }
  void SetUserPassword(const std::string& v);
  const std::vector<std::string>& NonEmbeddedFont() const { return FNonEmbeddedFont; }
  void SetNonEmbeddedFont(const std::vector<std::string>& v) { FNonEmbeddedFont = v; }
  int JPEGQuality() const { return FJPEGQuality; }
  void SetJPEGQuality(int v) { FJPEGQuality = v; }
  int Resolution() const { return FResolution; }
  void SetResolution(int v) { FResolution = v; }
  TViewerPreferences ViewerPreferences() const { return FViewerPreferences; }
  void SetViewerPreferences(TViewerPreferences v) { FViewerPreferences = v; }
  bool AutoCreateURL() const { return FAutoCreateURL; }
  void SetAutoCreateURL(bool v) { FAutoCreateURL = v; }
  bool OnePass() const { return FOnePass; }
  void SetOnePass(bool v);
  TPDFVersion Version() const { return FVersion; }
  void SetVersion(TPDFVersion v);
  TPDFKeyLength ProtectionKeyLength() const { return FProtectionKeyLength; }
  void SetProtectionKeyLength(TPDFKeyLength v);
  bool EmulateStandardFont() const { return FEmulateStandardFont; }
  void SetEmulateStandardFont(bool v);
  TPDFEMFParseOptions& EMFOptions() { return FEMFOptions; }

  // --- public state ------------------------------------------------------
  bool Generating() const { return FGenerating; }
  bool Aborted() const { return FAborted; }
  TPDFPage* CurrentPage() const { return FCurrentPage; }
  // When set before StartDocument, the file is built in memory and copied
  // to this stream at the end; no file is created or deleted.
  std::ostream* OutputStream() const { return FOutputStream; }
  void SetOutputStream(std::ostream* v) { FOutputStream = v; }
  // Must be registered with AddAction.
  TPDFAction* OpenAction() const { return FOpenAction; }
  void SetOpenAction(TPDFAction* v) { FOpenAction = v; }
  TPDFPages& Pages() { return *FPages; }
  TPDFFonts& Fonts() { return *FFonts; }
  TPDFImages& Images() { return *FImages; }
  TPDFActions& Actions() { return *FActions; }
  TPDFOutlines& Outlines() { return *FOutlines; }
  TPDFAcroForm& AcroForm() { return *FAcroForm; }
  TRadioGroups& RadioGroups() { return *FRadioGroups; }
  TPDFJSFList& JavaScripts() { return *FJavaScripts; }
  TNamedDestinations& NamedDestinations() { return *FNamedDestinations; }
  TEmbeddedFiles& EmbeddedFiles() { return *FEmbeddedFiles; }

  // --- lifecycle -----------------------------------------------------------
  void StartDocument();
  void AddPage();
  void FinishDocument();
  void AbortDocument();
  int PageCount() const;
  // The recording canvas of the current page (none without a page); taking
  // it freezes the recording's size.
  TMetafileCanvas* Canvas();
  // Registers an action to be written; the registry owns every action added
  // to it (when this raises, the caller keeps it). Adding one twice changes
  // nothing.
  void AddAction(TPDFAction* Action);
  // Adds a picture (TBitmap or TJPEGImage) to Images with the arguments of
  // TPDFImage and returns its index there.
  int AddImage(const TGraphic* Picture, TImageEncoding Compression, int MaskIndex = -1,
               bool IsMask = false, int64_t TransparentColor = -1);

  // --- writing primitives ------------------------------------------------
  int AllocateObjectNumber();
  int ObjectCount() const { return static_cast<int>(FOffsets.size()); }
  void WriteText(std::string_view Text, bool AppendLineBreak = true) {
    FOutput.Write(Text);
    if (AppendLineBreak) FOutput.Write("\r\n");
  }
  void WriteBytes(std::string_view Bytes) { FOutput.Write(Bytes); }
  void StartObject(int& Number);
  void EndDictionary() { FOutput.Write(">>\r\n"); }
  void EndObject() { FOutput.Write("endobj\r\n"); }
  void StartStream() { FOutput.Write("stream\r\n"); }
  void EndStream() { FOutput.Write("endstream\r\n"); }
  int64_t OutputPosition() const { return FOutput.Position(); }
  int PageTreeNumber() const { return FPageTreeNumber; }

  // --- encryption (no-ops when protection is off) --------------------------
  std::string EncryptString(std::string_view S, int ObjectNumber) const;
  std::string EncryptHexString(std::string_view Hex, int ObjectNumber) const;
  void EncryptStream(std::string& Data, int ObjectNumber) const;
  // "(" encrypted-then-escaped ")": the form of every literal string value.
  std::string LiteralString(std::string_view S, int ObjectNumber) const;

  int32_t PermissionFlags() const { return FPermissionFlags; }
  const TEntry32& OwnerEntry() const { return FOwnerEntry; }
  const TEncryptionKey& EncryptionKey() const { return FEncryptionKey; }
  const std::string& FileID() const { return FFileID; }

 private:
  void Reset();
  void WriteRemainingObjects();
  void WriteInfo();
  void WritePageTree();
  void WriteCatalog();
  void WriteEncryptionDictionary();
  void WriteCrossReference();
  void NewCurrentPage();
  void ClosePageCanvas();

  bool FAutoLaunch = false;
  std::string FFileName;
  TCompressionType FCompression = ctNone;
  TPDFDocInfo FDocumentInfo;
  TPageLayout FPageLayout = plSinglePage;
  TPageMode FPageMode = pmUseNone;
  bool FProtectionEnabled = false;
  TPDFCtiptoOptions FProtectionOptions;
  std::string FOwnerPassword;
  std::string FUserPassword;
  std::vector<std::string> FNonEmbeddedFont;
  int FJPEGQuality = 80;
  int FResolution = 72;
  TViewerPreferences FViewerPreferences;
  bool FAutoCreateURL = true;
  bool FOnePass = false;
  TPDFVersion FVersion = v13;
  TPDFKeyLength FProtectionKeyLength = kl40;
  bool FEmulateStandardFont = false;
  TPDFEMFParseOptions FEMFOptions;

  bool FGenerating = false;
  bool FAborted = false;
  TPDFPage* FCurrentPage = nullptr;
  std::ostream* FOutputStream = nullptr;
  TPDFAction* FOpenAction = nullptr;
  std::unique_ptr<TPDFPages> FPages;
  std::unique_ptr<TPDFFonts> FFonts;
  std::unique_ptr<TPDFImages> FImages;
  std::unique_ptr<TPDFActions> FActions;
  std::unique_ptr<TPDFOutlines> FOutlines;
  std::unique_ptr<TPDFAcroForm> FAcroForm;
  std::unique_ptr<TRadioGroups> FRadioGroups;
  std::unique_ptr<TPDFJSFList> FJavaScripts;
  std::unique_ptr<TNamedDestinations> FNamedDestinations;
  std::unique_ptr<TEmbeddedFiles> FEmbeddedFiles;

  std::vector<int64_t> FOffsets;  // index 0 is object 1
  int FPageTreeNumber = 0;
  int FCatalogNumber = 0;
  int FInfoNumber = 0;
  int FEncryptNumber = 0;
  int FNamesNumber = 0;
  int64_t FXrefPosition = 0;

  int32_t FPermissionFlags = 0;
  TEntry32 FOwnerEntry{};
  TEncryptionKey FEncryptionKey;
  std::string FFileID;

  TOutput FOutput;
};

}  // namespace quillora
