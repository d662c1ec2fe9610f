-- Placeholder schema until the signature data lands.
CREATE TABLE tb_kelvo_mst (mst_Seq INTEGER PRIMARY KEY, product_name TEXT NOT NULL, info TEXT, uninstall_key TEXT, match_mode TEXT, Type INTEGER NOT NULL);
CREATE TABLE tb_process_list (process_name TEXT NOT NULL, mst_Seq INTEGER NOT NULL);
CREATE TABLE tb_registry_list (registry_key TEXT NOT NULL, mst_Seq INTEGER NOT NULL);
