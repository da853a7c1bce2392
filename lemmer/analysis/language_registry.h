// The registry of language objects: the five built-in languages (built on the first query)
// and any language registered since, found by id, by name or by the letters they accept; and
// the record's own language, which answers the questions of wordform generation.
//
//     const TLanguage* russian = LanguageById(1);
//     std::vector<TGeneratedForm> forms;
//     GenerateWordforms(record, "", forms);   // all forms; a clue such as "pl" narrows them
//
// Queries only read once the built-in languages stand: any number of threads may ask.
#pragma once

#include "lemmer/alphabet/lang_mask.h"
#include "lemmer/analysis/language.h"
#include "lemmer/generation/wordform_generator.h"
#include "lemmer/record/analysis_record.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The registry with the built-in languages registered.
const TRegisteredLanguages& GetRegisteredLanguages();
// Null for an id without a language object or outside 0 to 57.
const TLanguage* LanguageById(uint32_t id);
const std::vector<const TLanguage*>& GetLanguageList();
TLangMask RegisteredCharLanguages(wchar16 unit);
TLangMask RegisteredWordLanguages(const wchar16* word, size_t length, bool skipDigits);
// By language name ("rus", "eng", ...); the default language for an empty or unknown name.
const TLanguage* LanguageObjectByName(const char* name);
// The mask of the languages named in `text`, split on any byte of `delimiters`.
TLangMask ParseLanguageList(const char* text, const char* delimiters);
// Recognises short artificial words in every registered language of `mask`, so that what a
// language builds lazily is built before real work.
void WarmUpLanguages(TLangMask mask);

// The language of the record's id, the default language when there is none, and its slots.
const TLanguage& LanguageOfRecord(const TAnalysisRecord& record);
int RecordParadigmKind(const TAnalysisRecord& record);
std::unique_ptr<NLemmer::TGrammarFiltr> CreateRecordParadigmFiltr(const TAnalysisRecord& record);
std::unique_ptr<TWordformGenerator> CreateRecordWordformGenerator(
    const TAnalysisRecord& record, const NLemmer::TGrammarFiltr* filter);

// Appends every form of the record's lemma that the clue (grammeme string, "" for all) admits,
// as the record's language generates them; returns how many were appended.
size_t GenerateWordforms(const TAnalysisRecord& record, const char* clue,
                         std::vector<TGeneratedForm>& out);
