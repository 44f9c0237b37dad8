// The commands that change numbers in a project: number (in order, or by a plan) and import
// (from a map file). Each changes the documents first and then stores every changed file at
// once, or with DryRun prints the unified diff of each instead.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zk/formfile/Plan.h"
#include "zk/formfile/Project.h"

namespace zk::formfile {

// Gives Forms numbers from Start by Step in order, tree order inside each form; with
// OnlyUnset only components without one, and a new number skips every number the project
// uses. 0 is never given. Raises TFailure when the numbers leave int32.
void NumberInOrder(std::vector<TProjectForm>& Forms, int64_t Start, int64_t Step, bool OnlyUnset);

// Gives Forms the numbers of their plan blocks: the forms of one block take its numbers one
// after another (in path order), tree order inside a form; the forms of no block share the
// numbers after the highest one. 0 is never given. With OnlyUnset the numbers given stay and
// a new one skips every number the project uses. Raises TFailure when a block runs out.
void NumberByPlan(std::vector<TProjectForm>& Forms, const TPlan& Plan, bool OnlyUnset);

struct TNumberOptions {
    std::string Plan;  // empty: Start and Step
    int64_t Start = 0, Step = 1;
    bool OnlyUnset = false, DryRun = false;
    std::string Out;  // one form only: store here instead
};

int Number(const std::vector<std::string>& Project, const TNumberOptions& Options);

// Sets the numbers that the #define lines of MapFile give the context strings of Project (as
// map makes them with Prefix, case ignored). A name that matches no component is reported on
// standard error with its line and left out; a define without a value (an include guard) is
// skipped, and so is one whose value is no 32-bit integer unless its name is a component's,
// which is a failure, as is a name that two components match.
int Import(const std::string& MapFile, const std::vector<std::string>& Project,
           const std::string& Prefix, bool DryRun);

}  // namespace zk::formfile
