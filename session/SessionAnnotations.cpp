// Editing, importing and exporting the clip annotations. Every change is
// saved at once, so a crash never costs typed titles and closing has nothing
// to ask about, unless a save failed.
#include "base/File.h"
#include "gamedata/AnnotationFile.h"
#include "gamedata/GameData.h"
#include "session/StudioSession.h"

namespace wc {
namespace {

// Far above any real file (16 stations x 256 rows of at most a few hundred
// bytes); keeps a wrong choice of file from being read whole into memory.
constexpr uint64_t kMaxAnnotationFileBytes = 16u << 20;

FileDialogRequest annotationFileRequest(const char* title) {
  FileDialogRequest request;
  request.title = title;
  request.filterText = "Annotations (*.csv)";
  request.filterPattern = "*.csv";
  request.defaultExtension = "csv";
  return request;
}

std::optional<std::vector<uint8_t>> readAnnotationFile(FileSystem& fs_, const Path& path) {
  auto file = fs_.openRead(path);
  if (!file) return std::nullopt;
  const auto size = file->size();
  if (!size || *size > kMaxAnnotationFileBytes) return std::nullopt;
  std::vector<uint8_t> bytes(*size);
  if (file->read(bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
  return bytes;
}

std::string describeFileError(const FileError& error) {
  const char* verb = error.kind == FileErrorKind::Create   ? "creating "
                     : error.kind == FileErrorKind::Rename ? "replacing "
                                                           : "writing ";
  std::string text = verb + error.path.string() + " failed";
  if (!error.reason.empty()) text += " (" + error.reason + ")";
  return text;
}

}  // namespace

void StudioSession::editClip(int clipIndex) {
  const auto request = makeClipEditRequest(catalogue(), station_, clipIndex);
  if (!request) return;
  const auto edit = prompts_.editClip(*request);
  if (!edit) return;
  // The dialog checks as well; the catalogue is never written from an edit
  // it cannot hold.
  const AnnotationProblem problem = applyClipEdit(clipIndex, *edit);
  if (problem != AnnotationProblem::None)
    prompts_.messageBox(describeProblem(problem, request->followOnRoom()), "Error");
}

AnnotationProblem StudioSession::applyClipEdit(int clipIndex, const ClipEdit& edit) {
  const AnnotationProblem problem = wc::applyClipEdit(gameData_.catalogue(), station_, clipIndex, edit);
  if (problem != AnnotationProblem::None) return problem;
  catalogueModified_ = true;
  showCatalogueChange();
  saveCatalogueNow();
  return problem;
}

void StudioSession::onExportAnnotations() {
  FileDialogRequest request = annotationFileRequest("Export Annotations");
  request.overwritePrompt = true;
  request.pathMustExist = true;
  const auto path = prompts_.saveFileName(request);
  if (!path) return;
  const std::string text = exportAnnotations(catalogue());
  const auto* begin = reinterpret_cast<const uint8_t*>(text.data());
  if (!replaceFileAtomically(fs_, *path, std::span<const uint8_t>(begin, text.size())))
    prompts_.messageBox("The annotations could not be written to " + *path + ".", "Error");
}

void StudioSession::onImportAnnotations() {
  FileDialogRequest request = annotationFileRequest("Import Annotations");
  request.pathMustExist = true;
  request.fileMustExist = true;
  const auto path = prompts_.openFileName(request);
  if (!path) return;
  const auto bytes = readAnnotationFile(fs_, *path);
  if (!bytes) {
    prompts_.messageBox("The annotations file " + *path + " could not be read.", "Error");
    return;
  }
  const AnnotationImport result = importAnnotations(
      std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), gameData_.catalogue());
  if (result.applied > 0) {
    catalogueModified_ = true;
    showCatalogueChange();
    saveCatalogueNow();
  }
  prompts_.messageBox(describeImport(result), result.recognised ? "Import Annotations" : "Error");
}

void StudioSession::showCatalogueChange() {
  notify([](SessionObserver& o) { o.catalogueChanged(); });
  notify([](SessionObserver& o) { o.showChanges(); });
}

void StudioSession::catalogueChanged(bool saved) {
  catalogueModified_ = !saved;
  showCatalogueChange();
}

StudioSession::CatalogueSave StudioSession::saveCatalogueNow() {
  if (!mayReplaceCatalogueFile()) return catalogueModified_ ? CatalogueSave::Declined : CatalogueSave::Saved;
  const CatalogueSaveResult result = gameData_.saveCatalogue();
  if (!result) {
    // The mark stays, so the Save command and closing try again.
    catalogueModified_ = true;
    prompts_.messageBox("The clip annotations could not be saved to " + std::string(kCatalogueFileName) + ": " +
                            describeFileError(result.error) +
                            ".\nThe previous file was left unchanged; the changes are kept until they can be saved.",
                        "Error");
    notify([](SessionObserver& o) { o.commandStatesChanged(); });
    return CatalogueSave::Failed;
  }
  catalogueModified_ = false;
  if (const auto& backup = gameData_.catalogueBackup())
    prompts_.messageBox("The clip annotations were saved. The previous " + std::string(kCatalogueFileName) +
                            " was kept as " + backup->filename().string() + ".",
                        "Wavecrate");
  notify([](SessionObserver& o) { o.commandStatesChanged(); });
  return CatalogueSave::Saved;
}

bool StudioSession::queryClose() {
  if (!maySupersedePlaylist()) return false;
  if (!catalogueModified_) return true;
  // Only changes whose save failed (or was put off) are left: one more try,
  // and a way out when the file cannot be written at all.
  switch (saveCatalogueNow()) {
    case CatalogueSave::Saved: return true;
    case CatalogueSave::Declined: return false;
    case CatalogueSave::Failed:
      return prompts_.askYesNo("Close without the changes to the clip annotations?", "Wavecrate");
  }
  return false;
}

}  // namespace wc
