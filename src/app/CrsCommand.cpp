#include "app/CrsCommand.h"

#include <stdexcept>
#include <utility>

#include "app/JobCrs.h"
#include "formats/GisFormats.h"
#include "formats/GisModule.h"
#include "records/JobFiles.h"

namespace lumaq {

CrsCommand::CrsCommand(std::string programFolder, UserDialogs& dialogs, CrsDialog& crsDialog)
    : programFolder_(std::move(programFolder)), dialogs_(dialogs), crsDialog_(crsDialog) {}

void CrsCommand::MenuCrsClick() {
  CrsRequest request;
  try {
    request.systems = JobCrsChoices();
    request.current = StoredJobCrs(programFolder_);
  } catch (const std::exception& error) {
    // Nothing to choose from: say why, and keep what is stored.
    dialogs_.ShowMessage(kCaptionWarning, error.what(), MessageIcon::kWarning, MessageButtons::kOk);
    return;
  }
  request.lookUp = [](const std::string& typed) { return DescribeCrs(typed); };
  const std::optional<CrsEntry> chosen = crsDialog_.AskCrs(request);
  if (!chosen) return;
  // What the dialog hands back is checked once more, as typed in.
  StoreJobCrs(programFolder_, DescribeCrs(chosen->code).code);
}

}  // namespace lumaq
