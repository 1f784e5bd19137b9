// The mappings chosen at earlier imports (a bill's item or member to the ledger's own), kept beside
// the ledger's lists in Data/Import.ini, so that the next bill maps alike.
#pragma once

class CMoneyImport;

// Gives the plan the mappings kept so far, taken up by the rows it reads from now on.
void RecallImportMappings(CMoneyImport &plan);
// Keeps the plan's mappings beside those kept before. A failure costs only the choices.
void KeepImportMappings(const CMoneyImport &plan);
