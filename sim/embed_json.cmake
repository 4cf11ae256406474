# Writes INPUT into OUTPUT as the C++ string sim::kDefaultMachineJson.
file(READ ${INPUT} content)
file(WRITE ${OUTPUT}
    "#include \"sim/default_machine.h\"\n\n"
    "namespace sim {\n\n"
    "const char* const kDefaultMachineJson = R\"tintwell_json(${content})tintwell_json\";\n\n"
    "}  // namespace sim\n")
