#include "lemmer/compiler/dictionary_compiler.h"

#include "lemmer/compiler/compiler_errors.h"

#include "util/stream/memory.h"

#include <cassert>

TDictionaryCompiler::TDictionaryCompiler(const TCompilerSettings* settings, TOutputStream* messages,
                                         size_t lineBufferSize)
    : Settings_(settings),
      Messages_(messages),
      Tables_(settings, messages),
      Parser_(settings, 0, lineBufferSize) {}

bool TDictionaryCompiler::CompileEntry(TInputStream& in) {
    assert(!Finished_);
    if (Aborted()) {
        // Tables that an abort left half-written are never added to again.
        return false;
    }
    TOutputStream& out = *Messages_;
    try {
        Parser_.Parse(in);
        Tables_.AddDictionaryEntry(Parser_);
        ++EntriesRead_;
        return true;
    } catch (const NByk::TInvalidEntryException& e) {
        out << Endl << "An error occured at line " << Parser_.LineCount() << Endl << e.what()
            << Endl;
        ++EntriesRead_;
        ++EntriesRejected_;
        return true;
    } catch (const NByk::TEndOfStreamException&) {
        out << Endl;
        return false;
    } catch (const NByk::TOverflowError& e) {
        out << Endl << "Internal structure overflow at line " << Parser_.LineCount() << "." << Endl
            << e.what() << Endl;
        Abort();
        return false;
    } catch (const NByk::TBufferExhaustedException& e) {
        out << Endl << "Internal buffer exhausted at line " << Parser_.LineCount()
            << " while processing entry \"" << Parser_.Lemma() << "\". " << e.what() << Endl;
        Abort();
        return false;
    }
}

bool TDictionaryCompiler::CompileEntryFromString(const Stroka& text) {
    TMemoryInput in(text.data(), text.size());
    return CompileEntry(in);
}

int64_t TDictionaryCompiler::CompileStream(TInputStream& in) {
    while (CompileEntry(in)) {
        if (EntriesRead_ % 1000 == 0) {
            *Messages_ << ".";
            Messages_->Flush();
        }
    }
    return Finish();
}

int64_t TDictionaryCompiler::Finish() {
    if (Aborted()) {
        *Messages_ << "Aborted." << Endl;
        return -1;
    }
    if (EntriesRead_ == 0) {
        *Messages_ << "No dictionary entries were found." << Endl;
        return 0;
    }
    Tables_.DumpTables();
    Finished_ = true;
    return static_cast<int64_t>(EntriesRead_);
}

const TGlobalTables& TDictionaryCompiler::FinishedTables() const {
    assert(Finished_ && "BuildDictionary needs a compilation that Finish numbered");
    return Tables_;
}
