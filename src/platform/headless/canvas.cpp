// Implementation pending.
