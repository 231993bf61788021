// Word count worker.
