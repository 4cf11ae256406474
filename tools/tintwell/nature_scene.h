// A nature-colour scene on the simulated machine, for the commands that play
// one (`nature`, `demo`): the machine is installed already.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <stdexcept>
#include <vector>

#include "frame_readback.h"
#include "nature_command.h"
#include "scene_csv.h"

namespace tintwell_cli {

// The library declined what the scene needs; the tool's library-failure code.
class LibraryRefusal : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct SceneInputs {
    std::vector<TableRow> table;
    std::vector<ScriptEntry> script;
    std::vector<Reading> readings;
};

// Loads the table, configures nature colour as a front-end does, subscribes,
// pushes the readings and waits for the last transition to end, drawing a
// progress bar on `err` when it is a terminal. Throws LibraryRefusal.
SceneFrames PlayNatureScene(const NatureArguments& arguments, const SceneInputs& inputs,
                            std::ostream& err);

// frames.csv and frames.svg in `folder`, created if need be; throws
// SceneInputError when they cannot be written.
struct SceneFiles {
    std::filesystem::path csv;
    std::filesystem::path svg;
};
SceneFiles WriteSceneFiles(const std::filesystem::path& folder, const SceneFrames& frames);

}  // namespace tintwell_cli
