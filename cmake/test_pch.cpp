// Carries the precompiled GoogleTest header that every unit test reuses.
