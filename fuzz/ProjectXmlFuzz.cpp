// Fuzzes the Microsoft Project XML import: any bytes give a project or a
// format error, a refused file leaves the project untouched, and an
// imported project is one the program can hold: its tasks within the task
// dialog's limits, it saves as a project file that loads back the same, and
// exported again it imports as the same project.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exchange/ImportedCost.h"
#include "exchange/ProjectXml.h"
#include "file/ProjectFile.h"
#include "fuzz/FuzzCheck.h"
#include "tests/model/ModelTestSupport.h"

using namespace MyApp;
using ModelTests::Fields;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Project project = ModelTests::Tetto();
    project.filePath = "aperto.vmo";
    project.modified = true;
    const std::string before = Fields(project, true);
    DroppedItems dropped;
    const ImportResult result = ImportProjectXml(bytes, "file", project, dropped);
    Check(result == ImportResult::Ok || result == ImportResult::FormatError, "answer");
    Check(project.filePath == "aperto.vmo" && project.modified, "path and flag untouched");
    if (result != ImportResult::Ok) {
        Check(Fields(project, true) == before, "failed import changes nothing");
        return 0;
    }

    for (const Task& task : project.tasks)
        Check(task.resources >= 0 && task.resources <= MaxTaskResources && WithinDailyCostLimits(task.dailyCost),
              "tasks within the task dialog's limits");
    Project saved;
    Check(LoadProjectLines(saved, SerializeProject(project)) == LoadResult::Ok, "imported project saves and loads");
    Check(Fields(saved, false) == Fields(project, false), "saved as imported");

    Project again;
    DroppedItems none;
    Check(ImportProjectXml(CollectText(ProjectXmlParts(project)), "file", again, none) == ImportResult::Ok,
          "exported project imports");
    Check(!none.Any(), "nothing dropped from an exported project");
    Check(Fields(again, true) == Fields(project, true), "export and import give back the project");
    return 0;
}
