#pragma once

namespace quillane {

// The arguments of the three command words an Apply queues, in the order
// they are queued (code 0, 1, 2).
struct PageCommands {
    struct {
        unsigned adr = 0, senspp = 0, state = 0;
    } cmd0;
    struct {
        unsigned sensmp = 0, sensbp = 0, letter = 0;
    } cmd1;
    struct {
        unsigned minSpd = 0, maxSpd = 0, dist = 0, reg = 0;
    } cmd2;
};

}  // namespace quillane
