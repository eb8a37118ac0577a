#include "quillora/core/document.h"

#include <cstdio>
#include <random>

#include "quillora/core/acroform.h"
#include "quillora/core/actions.h"
#include "quillora/core/exception.h"
#include "quillora/core/javascript.h"
#include "quillora/core/md5.h"
#include "quillora/core/name_trees.h"
#include "quillora/core/outlines.h"
#include "quillora/core/radio_group.h"
#include "quillora/core/rc4.h"
#include "quillora/core/tokens.h"
#include "quillora/fonts/font_registry.h"
#include "quillora/page/images.h"
#include "quillora/page/page.h"
#include "quillora/platform/shell.h"

namespace quillora {

namespace {

const char* const kInProgress = "Generation PDF file in progress";
const char* const kNotActivated = "Generation PDF file not activated";

std::string Two(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

// "ddd dd-mm-yyyy hh:nn:ss.zzz": the text hashed into the file identifier.
std::string IdentifierTime(const platform::TDateTime& t) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  char b[64];
  std::snprintf(b, sizeof b, "%s %02d-%02d-%04d %02d:%02d:%02d.%03d", kDays[t.DayOfWeek % 7],
                t.Day, t.Month, t.Year, t.Hour, t.Minute, t.Second, t.Millisecond);
  return b;
}

// "D:yyyymmddhhnnss".
std::string PdfDate(const platform::TDateTime& t) {
  char b[32];
  std::snprintf(b, sizeof b, "D:%04d%s%s%s%s%s", t.Year, Two(t.Month).c_str(), Two(t.Day).c_str(),
                Two(t.Hour).c_str(), Two(t.Minute).c_str(), Two(t.Second).c_str());
  return b;
}

std::string Ref(int number) { return IntToStr(number) + " 0 R"; }

}  // namespace

TPDFDocument::TPDFDocument()
    : FPages(std::make_unique<TPDFPages>(*this)),
      FFonts(std::make_unique<TPDFFonts>(*this)),
      FImages(std::make_unique<TPDFImages>(*this)),
      FActions(std::make_unique<TPDFActions>(*this)),
      FOutlines(std::make_unique<TPDFOutlines>(*this)),
      FAcroForm(std::make_unique<TPDFAcroForm>(*this)),
      FRadioGroups(std::make_unique<TRadioGroups>(*this)),
      FJavaScripts(std::make_unique<TPDFJSFList>(*this)),
      FNamedDestinations(std::make_unique<TNamedDestinations>(*this)),
      FEmbeddedFiles(std::make_unique<TEmbeddedFiles>(*this)) {}

TPDFDocument::~TPDFDocument() {
  // Pages refer to fonts and images: free them first.
  FPages->Clear();
  FOutput.Discard();
}

// --- properties ---------------------------------------------------------------

void TPDFDocument::SetFileName(const std::string& v) {
  if (FGenerating) throw TPDFException(kInProgress);
  FFileName = v;
}

void TPDFDocument::SetProtectionEnabled(bool v) {
  if (FGenerating) throw TPDFException(kInProgress);
  FProtectionEnabled = v;
}

void TPDFDocument::SetProtectionOptions(TPDFCtiptoOptions v) {
  if (FGenerating) throw TPDFException(kInProgress);
  FProtectionOptions = v;
}

void TPDFDocument::SetOwnerPassword(const std::string& v) {
  if (FGenerating) throw TPDFException(kInProgress);
  FOwnerPassword = v;
}

void TPDFDocument::SetUserPassword(const std::string& v) {
  if (FGenerating) throw TPDFException(kInProgress);
  FUserPassword = v;
}

void TPDFDocument::SetOnePass(bool v) {
  if (FGenerating) throw TPDFException(kInProgress);
  FOnePass = v;
}

void TPDFDocument::SetVersion(TPDFVersion v) {
  FVersion = v;
  if (v == v13) FProtectionKeyLength = kl40;
}

void TPDFDocument::SetProtectionKeyLength(TPDFKeyLength v) {
  if (v == FProtectionKeyLength) return;
  if (FGenerating) throw TPDFException("Cannot change this value");
  FProtectionKeyLength = v;
  if (v == kl128 && FVersion == v13) FVersion = v14;
}

void TPDFDocument::SetEmulateStandardFont(bool v) {
  if (v == FEmulateStandardFont) return;
  if (FGenerating) throw TPDFException("Cannot change this value");
  FEmulateStandardFont = v;
}

// --- lifecycle ------------------------------------------------------------------

void TPDFDocument::Reset() {
  FCurrentPage = nullptr;
  FOpenAction = nullptr;
  // The form and the radio groups list fields that the pages own.
  FAcroForm->Clear();
  FRadioGroups->Clear();
  FPages->Clear();
  FOutlines->Clear();
  FActions->Clear();
  FJavaScripts->Clear();
  FNamedDestinations->Clear();
  FEmbeddedFiles->Clear();
  FFonts->Clear();
  FImages->Clear();
  FOffsets.clear();
  FPageTreeNumber = FCatalogNumber = FInfoNumber = FEncryptNumber = FNamesNumber = 0;
  FXrefPosition = 0;
  FDocumentInfo.SetObjectNumber(0);
}

void TPDFDocument::StartDocument() {
  if (FGenerating) throw TPDFException(kInProgress);
  Reset();
  FOutput.Discard();
  FFileID = MD5Print(MD5(FFileName + IdentifierTime(platform::Now())));

  FPermissionFlags = ComputePermissionFlags(FProtectionOptions, FProtectionKeyLength);
  if (FProtectionEnabled) {
    FOwnerEntry = ComputeOwnerEntry(FOwnerPassword, FUserPassword, FProtectionKeyLength);
    FEncryptionKey = ComputeEncryptionKey(FUserPassword, FOwnerEntry, FPermissionFlags,
                                          FileIDBytes(FFileID), FProtectionKeyLength);
  }

  if (FOutputStream)
    FOutput.OpenMemory();
  else
    FOutput.OpenFile(FFileName);

  static const char* const kHeaders[] = {"%PDF-1.3", "%PDF-1.4", "%PDF-1.5", "%PDF-1.6"};
  WriteText(kHeaders[FVersion]);
  WriteText("%\xD2\xE5\xD1\xF2");
  FGenerating = true;
  FAborted = false;
  FPageTreeNumber = AllocateObjectNumber();
  NewCurrentPage();
}

void TPDFDocument::NewCurrentPage() {
  FCurrentPage = FPages->Add();
  FCurrentPage->CreateCanvas();
}

void TPDFDocument::ClosePageCanvas() {
  FCurrentPage->CloseCanvas();
  if (FOnePass) FCurrentPage->SavePage();
}

void TPDFDocument::AddPage() {
  if (!FGenerating) throw TPDFException(kNotActivated);
  ClosePageCanvas();
  NewCurrentPage();
}

void TPDFDocument::FinishDocument() {
  if (!FGenerating) throw TPDFException(kNotActivated);
  try {
    WriteRemainingObjects();
    if (FOutputStream) {
      const std::string& bytes = FOutput.Memory();
      FOutputStream->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      if (!*FOutputStream) throw Exception("Cannot write to the output stream");
      FOutput.Discard();
    } else {
      FOutput.Commit();
    }
  } catch (...) {
    AbortDocument();
    throw;
  }
  Reset();
  FGenerating = false;
  FAborted = false;
  if (!FOutputStream && FAutoLaunch) platform::ShellOpen(FFileName);
}

void TPDFDocument::AbortDocument() {
  if (!FGenerating) throw TPDFException(kNotActivated);
  Reset();
  // Only our temporary file goes: whatever stood at FileName stays.
  FOutput.Discard();
  FAborted = true;
  FGenerating = false;
}

int TPDFDocument::PageCount() const { return FPages->Count(); }

TMetafileCanvas* TPDFDocument::Canvas() {
  if (!FCurrentPage) return nullptr;
  TMetafileCanvas* canvas = FCurrentPage->Canvas();
  FCurrentPage->SetCanvasTaken(true);
  return canvas;
}

void TPDFDocument::AddAction(TPDFAction* Action) {
  if (!FGenerating) throw TPDFException(kNotActivated);
  if (FActions->IndexOf(Action) >= 0) return;
  FActions->Add(Action);
  if (Action->ObjectNumber() < 1) Action->SetObjectNumber(AllocateObjectNumber());
}

int TPDFDocument::AddImage(const TGraphic* Picture, TImageEncoding Compression, int MaskIndex,
                           bool IsMask, int64_t TransparentColor) {
  if (!FGenerating) throw TPDFException(kNotActivated);
  FImages->Add(Picture, Compression, MaskIndex, IsMask, TransparentColor);
  return FImages->Count() - 1;
}

// --- writing primitives -----------------------------------------------------------

int TPDFDocument::AllocateObjectNumber() {
  FOffsets.push_back(0);
  return static_cast<int>(FOffsets.size());
}

void TPDFDocument::StartObject(int& Number) {
  if (Number < 1) Number = AllocateObjectNumber();
  if (Number > ObjectCount()) throw TPDFException("Out of range");
  FOffsets[Number - 1] = FOutput.Position();
  std::string head;
  AppendInt(head, Number);
  head += " 0 obj\r\n<<";
  FOutput.Write(head);
}

// --- encryption -----------------------------------------------------------------

std::string TPDFDocument::EncryptString(std::string_view S, int ObjectNumber) const {
  std::string r(S);
  if (!FProtectionEnabled || r.empty()) return r;
  TObjectKey key = ComputeObjectKey(FEncryptionKey, ObjectNumber);
  TRC4(key.Bytes.data(), key.Length).Crypt(r);
  return r;
}

std::string TPDFDocument::EncryptHexString(std::string_view Hex, int ObjectNumber) const {
  if (!FProtectionEnabled || Hex.empty()) return std::string(Hex);
  std::string bytes = HexToBytes(Hex);
  bytes = EncryptString(bytes, ObjectNumber);
  std::string r;
  for (unsigned char b : bytes) r += ByteToHex(b);
  return r;
}

void TPDFDocument::EncryptStream(std::string& Data, int ObjectNumber) const {
  if (!FProtectionEnabled || Data.empty()) return;
  TObjectKey key = ComputeObjectKey(FEncryptionKey, ObjectNumber);
  TRC4(key.Bytes.data(), key.Length).Crypt(Data);
}

std::string TPDFDocument::LiteralString(std::string_view S, int ObjectNumber) const {
  return "(" + EscapeString(EncryptString(S, ObjectNumber)) + ")";
}

// --- the objects written at the end ---------------------------------------------------

void TPDFDocument::WriteRemainingObjects() {
  ClosePageCanvas();
  WriteInfo();
  // Number every action, registering the actions they chain to.
  for (int i = 0; i < FActions->Count(); ++i) {
    TPDFAction* action = FActions->Items(i);
    if (action->ObjectNumber() < 1) action->SetObjectNumber(AllocateObjectNumber());
    if (action->Next()) AddAction(action->Next());
  }
  WritePageTree();
  if (!FOnePass)
    for (int i = 0; i < FPages->Count(); ++i) FPages->Items(i)->SavePage();
  for (int i = 0; i < FActions->Count(); ++i) FActions->Items(i)->WriteObject();
  FOutlines->Write();
  for (int i = 0; i < FRadioGroups->Count(); ++i) FRadioGroups->Items(i)->WriteObject();
  FAcroForm->Write();
  int destinations = FNamedDestinations->Write();
  int files = FEmbeddedFiles->Write();
  WriteCatalog();
  if (FNamesNumber > 0)
    WriteNameDictionary(*this, FNamesNumber, destinations, *FJavaScripts, files);
  if (FProtectionEnabled) WriteEncryptionDictionary();
  for (int i = 0; i < FFonts->Count(); ++i) FFonts->Items(i)->Save(*this);
  if (!FOnePass)
    for (int i = 0; i < FImages->Count(); ++i)
      if (!FImages->Items(i)->Written()) FImages->Items(i)->Save(*this);
  WriteCrossReference();
}

void TPDFDocument::WriteInfo() {
  StartObject(FInfoNumber);
  FDocumentInfo.SetObjectNumber(FInfoNumber);
  const TPDFDocInfo& info = FDocumentInfo;
  WriteText("/Creator " + LiteralString(info.Creator(), FInfoNumber));
  WriteText("/CreationDate " + LiteralString(PdfDate(info.CreationDate()), FInfoNumber));
  WriteText("/Producer " + LiteralString(info.Producer(), FInfoNumber));
  WriteText("/Author " + LiteralString(info.Author(), FInfoNumber));
  WriteText("/Title " + LiteralString(info.Title(), FInfoNumber));
  WriteText("/Subject " + LiteralString(info.Subject(), FInfoNumber));
  WriteText("/Keywords " + LiteralString(info.Keywords(), FInfoNumber));
  EndDictionary();
  EndObject();
}

void TPDFDocument::WritePageTree() {
  StartObject(FPageTreeNumber);
  WriteText("/Type /Pages");
  WriteText("/Kids [");
  for (int i = 0; i < FPages->Count(); ++i) WriteText(Ref(FPages->Items(i)->ObjectNumber()));
  WriteText("]");
  WriteText("/Count " + IntToStr(FPages->Count()));
  EndDictionary();
  EndObject();
}

void TPDFDocument::WriteCatalog() {
  StartObject(FCatalogNumber);
  WriteText("/Type /Catalog");
  WriteText(" /Pages " + Ref(FPageTreeNumber));
  static const char* const kLayouts[] = {"/PageLayout /SinglePage", "/PageLayout /OneColumn",
                                         "/PageLayout /TwoColumnLeft",
                                         "/PageLayout /TwoColumnRight"};
  WriteText(kLayouts[FPageLayout]);
  if (!FViewerPreferences.Empty()) {
    WriteText("/ViewerPreferences <<");
    if (FViewerPreferences.Contains(vpHideToolBar)) WriteText("/HideToolbar true");
    if (FViewerPreferences.Contains(vpHideMenuBar)) WriteText("/HideMenubar true");
    if (FViewerPreferences.Contains(vpHideWindowUI)) WriteText("/HideWindowUI true");
    if (FViewerPreferences.Contains(vpFitWindow)) WriteText("/FitWindow true");
    if (FViewerPreferences.Contains(vpCenterWindow)) WriteText("/CenterWindow true");
    WriteText(">>");
  }
  static const char* const kModes[] = {"/PageMode /UseNone", "/PageMode /UseOutlines",
                                       "/PageMode /UseThumbs", "/PageMode /FullScreen"};
  WriteText(kModes[FPageMode]);
  if (FOpenAction) WriteText("/OpenAction " + Ref(FOpenAction->ObjectNumber()));
  if (FOutlines->Count() > 0) WriteText("/Outlines " + Ref(FOutlines->RootNumber()));
  if (!FAcroForm->Empty()) WriteText("/AcroForm " + Ref(FAcroForm->ObjectNumber()));
  if (FJavaScripts->Count() > 0 || FNamedDestinations->Count() > 0 ||
      FEmbeddedFiles->Count() > 0) {
    FNamesNumber = AllocateObjectNumber();
    WriteText("/Names " + Ref(FNamesNumber));
  }
  EndDictionary();
  EndObject();
}

void TPDFDocument::WriteEncryptionDictionary() {
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<int> byte(32, 231);
  TEntry32 user = ComputeUserEntry(FEncryptionKey, FileIDBytes(FFileID), FProtectionKeyLength,
                                   [&] { return static_cast<uint8_t>(byte(random)); });
  StartObject(FEncryptNumber);
  WriteText("/Filter /Standard");
  if (FProtectionKeyLength == kl128) {
    WriteText("/V 2");
    WriteText("/R 3");
    WriteText("/Length 128");
  } else {
    WriteText("/V 1");
    WriteText("/R 2");
  }
  WriteText("/P " + IntToStr(FPermissionFlags));
  auto entry = [](const TEntry32& e) {
    return "(" + EscapeString(std::string_view(reinterpret_cast<const char*>(e.data()), 32)) + ")";
  };
  WriteText("/O " + entry(FOwnerEntry));
  WriteText("/U " + entry(user));
  EndDictionary();
  EndObject();
}

void TPDFDocument::WriteCrossReference() {
  FXrefPosition = FOutput.Position();
  std::string table = "xref\r\n0 " + IntToStr(ObjectCount() + 1) + "\r\n0000000000 65535 f\r\n";
  table.reserve(table.size() + FOffsets.size() * 20);
  for (int64_t offset : FOffsets) {
    table += ZeroPad(offset, 10);
    table += " 00000 n\r\n";
  }
  WriteBytes(table);
  WriteText("trailer");
  WriteText("<<");
  WriteText("/Size " + IntToStr(ObjectCount() + 1));
  WriteText("/Root " + Ref(FCatalogNumber));
  WriteText("/Info " + Ref(FInfoNumber));
  if (FProtectionEnabled) WriteText("/Encrypt " + Ref(FEncryptNumber));
  WriteText("/ID [<" + FFileID + "><" + FFileID + ">]");
  WriteText(">>");
  WriteText("startxref");
  WriteText(IntToStr(FXrefPosition));
  WriteText("%%EOF");
}

}  // namespace quillora
